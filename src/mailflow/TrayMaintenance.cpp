#include "mailflow/TrayMaintenance.h"

#include <ctime>
#include <map>

#include "core/MessageNumber.h"

#include "mailflow/Document.h"
#include "mailflow/StoreLock.h"
#include "platform/FileSystem.h"
#include "store/LinkMaintenance.h"
#include "store/TrashOperations.h"
#include "store/TrayName.h"
#include "store/TrayRebuild.h"
#include "store/TreeOperations.h"

namespace zorvik::mailflow {
namespace {

// A name with neither a text file nor an index is no tray at all: saying
// its rebuild failed for want of rights would send the user looking in the
// wrong place. A text file alone is the case a rebuild is for.
bool hasTrayFiles(const store::StoreLocation& store, const std::string& tray) {
  if (!store::TrayName::isUsable(tray)) return false;
  return platform::isRegularFile(store::TrayName::path(store, tray, store::filetype::kText)) ||
         platform::isRegularFile(store::TrayName::path(store, tray, store::filetype::kIndex));
}

}  // namespace

MaintenanceReport TrayMaintenance::compact(const Document& document, const std::string& tray) {
  const auto lock = StoreLock::take(document, StoreWork::Compact);
  if (!lock) return {};
  store::TreeOperations tree(document.store(), document.settings(), document.messages());
  const bool ok = tree.compact(tray);
  return {ok, tree.missedTrays()};
}

MaintenanceReport TrayMaintenance::rebuild(const Document& document, const std::string& tray) {
  if (!hasTrayFiles(document.store(), tray)) {
    document.messages().error(core::MessageNumber::NoSuchTray, {tray});
    return {};
  }
  const auto lock = StoreLock::take(document, StoreWork::Compact);
  if (!lock) return {};
  const message::MailRecordParser parser(message::ParseContext::fromSettings(document.settings(), std::time(nullptr)));
  const std::string workFolder = platform::directoryOf(document.workFilePath());
  platform::makeDirectories(workFolder);
  const store::TrayRebuild rebuild(document.store(), parser, workFolder);
  const auto result = rebuild.rebuild(tray);
  if (!result) {
    document.messages().error(core::MessageNumber::TrayRebuildFailed, {tray});
    return {};
  }
  std::map<store::MailPlace, store::MailPlace> moves;
  for (const auto& [from, to] : result->moved) moves.emplace(store::MailPlace{tray, from}, store::MailPlace{tray, to});
  if (moves.empty()) return {true, {}};
  return {true, store::LinkMaintenance(document.store()).followMoves(moves)};
}

MaintenanceReport TrayMaintenance::emptyTrash(const Document& document) {
  const auto lock = StoreLock::take(document, StoreWork::Compact);
  if (!lock) return {};
  return {store::emptyTrashAtExit(document.store(), document.settings(), document.messages(), true), {}};
}

}  // namespace zorvik::mailflow
