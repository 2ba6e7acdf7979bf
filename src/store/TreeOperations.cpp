#include "store/TreeOperations.h"

#include <algorithm>
#include <cctype>

#include "core/SettingsItemTable.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/FreeName.h"
#include "store/OperationStep.h"
#include "store/SystemTrays.h"
#include "store/TrayFlags.h"
#include "store/TrayNameRule.h"
#include "store/TrayRelocation.h"
#include "store/TreeListing.h"

namespace zorvik::store {

using core::MessageNumber;

namespace {

const std::string& stateWord(ReadState state) {
  static const std::string opened = platform::utf8ToSjis("開封");
  static const std::string unread = platform::utf8ToSjis("未読");
  static const std::string clearLinks = platform::utf8ToSjis("開封後リンク消去");
  switch (state) {
    case ReadState::Opened: return opened;
    case ReadState::Unread: return unread;
    case ReadState::OpenedClearLinks: break;
  }
  return clearLinks;
}

bool isTrayTextFile(std::string_view name) {
  if (name.empty() || name.front() == '.' || name.size() < 4) return false;
  const std::string_view ext = name.substr(name.size() - 4);
  return ext[0] == '.' && std::toupper(static_cast<unsigned char>(ext[1])) == 'X' &&
         std::toupper(static_cast<unsigned char>(ext[2])) == 'M' && ext[3] == '0';
}

}  // namespace

TreeOperations::TreeOperations(StoreLocation store, const core::ItemValues& settings, core::Messages& messages)
    : store_(std::move(store)),
      settings_(settings),
      messages_(messages),
      links_(store_),
      mails_(store_, settings.text(core::item::kTrashTray), MailCopy::kDefaultZoneHours,
             settings.text(core::item::kMailServerTray)) {}

std::string TreeOperations::displayName(std::string_view path) const {
  return path.empty() ? store_.topCabinet : std::string(path);
}

bool TreeOperations::isTray(std::string_view path) const {
  return !path.empty() && TrayName::isUsable(path) && TrayFile(store_, std::string(path)).exists();
}

std::vector<std::string> TreeOperations::traysBelow(std::string_view cabinet) const {
  std::vector<std::string> trays;
  walkTree(store_, cabinet, [&](const TreeEntry& entry) {
    if (!entry.isCabinet) trays.push_back(entry.path);
  });
  return trays;
}

std::optional<std::string> TreeOperations::newEntry(std::string_view cabinet, bool tray) {
  if (!isCabinet(store_, cabinet)) {
    messages_.error(tray ? MessageNumber::NoTrayBelow : MessageNumber::NoCabinetBelow, {displayName(cabinet)});
    return std::nullopt;
  }
  const std::string& base = settings_.text(tray ? core::item::kNewTrayName : core::item::kNewCabinetName);
  const MessageNumber failure = tray ? MessageNumber::TrayCreateFailed : MessageNumber::CabinetCreateFailed;
  const auto name = freeName(store_, cabinet, base);
  const bool created = name && (tray ? TrayFile(store_, *name).createInheriting()
                                     : platform::makeDirectory(TrayName::path(store_, *name, filetype::kPathOnly)));
  if (created) return name;
  messages_.error(failure, {TrayName::path(store_, name.value_or(platform::joinPath(cabinet, base)), filetype::kPathOnly)});
  return std::nullopt;
}

std::optional<std::string> TreeOperations::newCabinet(std::string_view cabinet) { return newEntry(cabinet, false); }

std::optional<std::string> TreeOperations::newTray(std::string_view cabinet) { return newEntry(cabinet, true); }

bool TreeOperations::createCabinet(std::string_view path) {
  if (!acceptName(platform::fileNameOf(path), messages_, MessageNumber::TreeNameEmpty)) return false;
  const std::string parent = platform::directoryOf(path);
  if (!isStoreRelativePath(path, false) || !isCabinet(store_, parent)) {
    messages_.error(MessageNumber::NoCabinetBelow, {displayName(parent)});
    return false;
  }
  if (nameTaken(store_, path)) {
    messages_.error(MessageNumber::NameTaken, {std::string(path)});
    return false;
  }
  if (platform::makeDirectory(TrayName::path(store_, path, filetype::kPathOnly))) return true;
  messages_.error(MessageNumber::CabinetCreateFailed, {TrayName::path(store_, path, filetype::kPathOnly)});
  return false;
}

bool TreeOperations::createTray(std::string_view path) {
  if (!acceptName(platform::fileNameOf(path), messages_, MessageNumber::TreeNameEmpty)) return false;
  const std::string parent = platform::directoryOf(path);
  if (!isStoreRelativePath(path, false) || !isCabinet(store_, parent)) {
    messages_.error(MessageNumber::NoTrayBelow, {displayName(parent)});
    return false;
  }
  if (nameTaken(store_, path)) {
    messages_.error(MessageNumber::NameTaken, {std::string(path)});
    return false;
  }
  if (TrayFile(store_, std::string(path)).createInheriting()) return true;
  messages_.error(MessageNumber::TrayCreateFailed, {TrayName::path(store_, path, filetype::kPathOnly)});
  return false;
}

bool TreeOperations::relocate(std::string_view path, const std::string& target) {
  missed_.clear();
  const std::string from(path);
  if (isCabinet(store_, path)) {
    // A directory renamed onto an existing empty one would replace it.
    if (nameTaken(store_, target)) return false;
    if (!platform::renamePath(TrayName::path(store_, from, filetype::kPathOnly),
                              TrayName::path(store_, target, filetype::kPathOnly)))
      return false;
    operationStep();
    missed_ = links_.followRename(from, target, true);
    return true;
  }
  const auto result = TrayRelocation(store_, from, target).run([&] { missed_ = links_.followRename(from, target, false); });
  return result == RelocationResult::Done;
}

bool TreeOperations::rename(std::string_view path, std::string_view newName) {
  if (!acceptName(newName, messages_, MessageNumber::TreeNameEmpty)) return false;
  if (path.empty() || !isStoreRelativePath(path, false) || systemTrayKind(settings_, path) != kOrdinaryTray) {
    messages_.error(MessageNumber::TreeNotRenamable, {displayName(path)});
    return false;
  }
  const bool cabinet = isCabinet(store_, path);
  const std::string target = platform::joinPath(platform::directoryOf(path), newName);
  if (target == path) return true;
  if ((cabinet || isTray(path)) && relocate(path, target)) return true;
  messages_.error(cabinet ? MessageNumber::TreeCabinetRenameFailed : MessageNumber::TreeTrayRenameFailed,
                  {displayName(path)});
  return false;
}

bool TreeOperations::move(std::string_view path, std::string_view cabinet) {
  const std::string target = platform::joinPath(cabinet, platform::fileNameOf(path));
  const bool intoItself = cabinet == path || (cabinet.starts_with(path) && cabinet.size() > path.size() &&
                                              cabinet[path.size()] == '/');
  const bool movable = !path.empty() && isStoreRelativePath(path, false) && isCabinet(store_, cabinet) &&
                       !intoItself && target != path && systemTrayKind(settings_, path) == kOrdinaryTray &&
                       (isCabinet(store_, path) || isTray(path));
  if (movable && relocate(path, target)) return true;
  messages_.error(MessageNumber::TreeMoveFailed, {displayName(path)});
  return false;
}

bool TreeOperations::deleteCabinet(std::string_view path) {
  if (!messages_.question(MessageNumber::DeleteCabinet, {displayName(path)})) return false;
  const std::string directory = TrayName::path(store_, path, filetype::kPathOnly);
  const auto entries = platform::listDirectory(directory);
  for (const auto& entry : entries) {
    if (!entry.isDirectory && isTrayTextFile(entry.name)) {
      messages_.error(MessageNumber::CabinetHoldsTrays, {displayName(path)});
      return false;
    }
  }
  for (const auto& entry : entries) {
    if (!entry.isDirectory) platform::removeFile(platform::joinPath(directory, entry.name));
  }
  if (platform::removeDirectory(directory)) return true;
  messages_.error(MessageNumber::CabinetHoldsCabinets, {displayName(path)});
  return false;
}

bool TreeOperations::emptyTray(std::string_view tray) {
  if (!TrayFile(store_, std::string(tray)).exists()) return false;
  mails_.releaseAllLinks(tray);
  operationStep();
  // Exactly the mails there now go, each deleted for good before its links
  // and its folder are let go of; a mail that arrives meanwhile stays.
  const std::vector<std::uint32_t> live = mails_.liveIndices(tray);
  if (mails_.remove(tray, live, true) != live.size()) return false;
  return TrayFile(store_, std::string(tray)).emptyWhenNothingLive();
}

bool TreeOperations::removeTrayFiles(std::string_view tray) const {
  // The index goes first, so a tray half removed is no tray any more.
  auto files = TrayRelocation::filesOf(store_, tray);
  std::stable_partition(files.begin(), files.end(), [&](const std::string& file) {
    return file == TrayName::path(store_, tray, filetype::kIndex);
  });
  bool ok = true;
  for (const std::string& file : files) ok = platform::removeFile(file) && ok;
  return ok;
}

bool TreeOperations::discardTray(std::string_view tray) {
  const bool emptied = emptyTray(tray);
  return removeTrayFiles(tray) && emptied;
}

bool TreeOperations::trashMails(std::string_view tray) {
  mails_.releaseAllLinks(tray);
  const std::vector<std::uint32_t> live = mails_.liveIndices(tray);
  removal_.forGood = tray == settings_.text(core::item::kTrashTray);
  removal_.mails = mails_.remove(tray, live, false);
  return removal_.mails == live.size();
}

bool TreeOperations::deleteTray(std::string_view path) {
  removal_.tray = std::string(path);
  const SystemTrayKind kind = systemTrayKind(settings_, path);
  const auto properties = TrayFile(store_, std::string(path)).properties();
  if (kind == kMailServerTray || !properties) {
    messages_.error(MessageNumber::NotDeletable, {displayName(path)});
    return false;
  }
  if ((properties->flags & trayflag::kDeleteTray) != 0 && kind == kOrdinaryTray) {
    if (!messages_.question(MessageNumber::DeleteTrayAndMails, {displayName(path)})) return false;
    // The tray's files go only once every mail is safe in the trash.
    removal_.trayRemoved = trashMails(path) && removeTrayFiles(path);
    if (removal_.trayRemoved) return true;
    messages_.error(MessageNumber::TrayDeleteFailed, {displayName(path)});
    return false;
  }
  if ((properties->flags & trayflag::kDeleteMails) == 0) {
    messages_.error(MessageNumber::NoBulkDelete);
    return false;
  }
  if (!messages_.question(MessageNumber::DeleteAllMails, {displayName(path)})) return false;
  if (trashMails(path)) return true;
  messages_.error(MessageNumber::MailsDeleteFailed, {displayName(path)});
  return false;
}

bool TreeOperations::remove(std::string_view path) {
  removal_ = {};
  if (!path.empty() && isStoreRelativePath(path, false)) {
    if (isCabinet(store_, path)) return deleteCabinet(path);
    if (isTray(path)) return deleteTray(path);
  }
  messages_.error(MessageNumber::NotDeletable, {displayName(path)});
  return false;
}

std::size_t TreeOperations::clearLinks(std::string_view path) {
  if (isTray(path)) return mails_.releaseAllLinks(path);
  if (!isCabinet(store_, path) || !messages_.question(MessageNumber::ClearCabinetLinks, {displayName(path)})) return 0;
  std::size_t released = 0;
  for (const std::string& tray : traysBelow(path)) released += mails_.releaseAllLinks(tray);
  return released;
}

bool TreeOperations::setReadState(std::string_view path, ReadState state) {
  const bool opened = state != ReadState::Unread;
  const bool release = state == ReadState::OpenedClearLinks;
  std::vector<std::string> trays;
  if (isTray(path)) {
    if (!messages_.question(MessageNumber::ChangeTrayReadState, {displayName(path), stateWord(state)})) return false;
    trays.emplace_back(path);
  } else if (isCabinet(store_, path)) {
    if (!messages_.question(MessageNumber::ChangeCabinetReadState, {displayName(path), stateWord(state)})) return false;
    trays = traysBelow(path);
  } else {
    return false;
  }
  bool ok = true;
  for (const std::string& tray : trays) {
    // The server tray's read state is the server list's, not the store's.
    if (systemTrayKind(settings_, tray) == kMailServerTray) continue;
    ok = mails_.setTrayOpened(tray, opened, release) && ok;
  }
  return ok;
}

bool TreeOperations::compact(std::string_view tray) {
  missed_.clear();
  return isTray(tray) && links_.compact(tray, &missed_);
}

}  // namespace zorvik::store
