#include "mailflow/TrayTransferFlow.h"

#include "mailflow/Document.h"
#include "mailflow/StoreLock.h"

namespace zorvik::mailflow {
namespace {

// The document's store with the stop request in front of its write check.
store::StoreLocation stoppableStore(const Document& document, const StopRequest& stop) {
  store::StoreLocation store = document.store();
  store.writeCheck = [check = store.writeCheck, &stop](std::string_view path) {
    return !stop.requested() && (!check || check(path));
  };
  return store;
}

// Runs one of the store's transfers (built over the stoppable store) under
// the store's lock.
template <typename Transfer, typename Request, typename... Settings>
std::optional<TransferOutcome> runLocked(const Document& document, FrontEnd& front, const Request& request,
                                         const Settings&... settings) {
  const auto lock = StoreLock::take(document, StoreWork::StoreChange);
  if (!lock) return std::nullopt;
  Transfer transfer(stoppableStore(document, front.stop), settings..., document.messages(), front.progress,
                    document.settings().timeZoneOffsetHours());
  TransferOutcome outcome;
  outcome.ok = transfer.run(request);
  outcome.copied = transfer.copied();
  outcome.leftOut = transfer.leftOut();
  outcome.stopped = front.stop.requested();
  if constexpr (requires { transfer.keptTrays(); }) outcome.kept = transfer.keptTrays();
  return outcome;
}

}  // namespace

std::optional<TransferOutcome> TrayTransferFlow::backup(const Document& document, FrontEnd& front,
                                                        const store::BackupRequest& request) {
  return runLocked<store::Backup>(document, front, request, document.settings());
}

std::optional<TransferOutcome> TrayTransferFlow::merge(const Document& document, FrontEnd& front,
                                                       const store::MergeRequest& request) {
  return runLocked<store::Merge>(document, front, request);
}

std::optional<TransferOutcome> TrayTransferFlow::exportTrays(const Document& document, FrontEnd& front,
                                                             const store::ExportRequest& request) {
  return runLocked<store::Export>(document, front, request, document.settings());
}

}  // namespace zorvik::mailflow
