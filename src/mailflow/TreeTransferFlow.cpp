#include "mailflow/TreeTransferFlow.h"

#include <optional>

#include "mailflow/Document.h"
#include "mailflow/StoreLock.h"

namespace zorvik::mailflow {
namespace {

// The lock when the work changes the store; a refused lock (its message
// shown) ends the work before it begins.
bool lockWhen(bool changesStore, const Document& document, std::optional<StoreLock>& lock) {
  if (!changesStore) return true;
  lock = StoreLock::take(document, StoreWork::StoreChange);
  return lock.has_value();
}

}  // namespace

TransferReport TreeTransferFlow::backup(const Document& document, FrontEnd& front,
                                        const store::BackupRequest& request) {
  std::optional<StoreLock> lock;
  if (!lockWhen(request.deleteCopied, document, lock)) return {};
  const int zone = document.settings().timeZoneOffsetHours();
  store::Backup run(document.store(), document.settings(), document.messages(), front.progress, zone);
  const bool ok = run.run(request);
  return {ok, run.copied(), run.leftOut(), run.keptTrays()};
}

TransferReport TreeTransferFlow::merge(const Document& document, FrontEnd& front, const store::MergeRequest& request) {
  std::optional<StoreLock> lock;
  if (!lockWhen(true, document, lock)) return {};
  store::Merge run(document.store(), document.messages(), front.progress, document.settings().timeZoneOffsetHours());
  const bool ok = run.run(request);
  return {ok, run.copied(), run.leftOut(), {}};
}

TransferReport TreeTransferFlow::exportTrays(const Document& document, FrontEnd& front,
                                             const store::ExportRequest& request) {
  std::optional<StoreLock> lock;
  if (!lockWhen(request.removeSource, document, lock)) return {};
  const int zone = document.settings().timeZoneOffsetHours();
  store::Export run(document.store(), document.settings(), document.messages(), front.progress, zone);
  const bool ok = run.run(request);
  return {ok, run.copied(), run.leftOut(), run.keptTrays()};
}

}  // namespace zorvik::mailflow
