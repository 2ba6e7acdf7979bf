#include "view/HoldingCabinet.h"

#include "core/SettingsItemTable.h"
#include "platform/FileSystem.h"
#include "store/MailOperations.h"
#include "store/SystemTrays.h"
#include "store/TrayFile.h"
#include "store/TrayName.h"
#include "store/TreeListing.h"
#include "store/TreeOperations.h"
#include "view/TreeNode.h"

namespace zorvik::view {
namespace {

}  // namespace

HoldingCabinet::HoldingCabinet(store::StoreLocation store, const core::ItemValues& settings,
                               core::Messages& messages, int zoneHours)
    : store_(std::move(store)), settings_(settings), messages_(messages), zoneHours_(zoneHours) {}

store::MailOperations HoldingCabinet::mailOperations() const {
  return store::MailOperations(store_, settings_.text(core::item::kTrashTray), zoneHours_,
                               settings_.text(core::item::kMailServerTray));
}

std::string HoldingCabinet::mailTray(std::string_view holding) const { return childPath(holding, kMailTray); }

std::vector<std::string> HoldingCabinet::heldNodes(std::string_view holding) const {
  std::vector<std::string> nodes;
  const std::string mails = mailTray(holding);
  for (const store::TreeEntry& entry : store::listCabinet(store_, holding))
    if (entry.path != mails) nodes.push_back(entry.path);
  return nodes;
}

bool HoldingCabinet::ensureMailTray(std::string_view holding) {
  if (!store::isCabinet(store_, holding) &&
      !platform::makeDirectories(store::TrayName::path(store_, holding, store::filetype::kPathOnly)))
    return false;
  const store::TrayFile tray(store_, mailTray(holding));
  return tray.exists() || tray.create(store::TrayProperties{});
}

bool HoldingCabinet::holdsMails() const {
  for (const std::string_view holding : {kCut, kCopy}) {
    const store::TrayFile tray(store_, mailTray(holding));
    if (tray.exists() && tray.count(false).value_or(0) > 0) return true;
  }
  return false;
}

bool HoldingCabinet::holdsNodes() const { return !heldNodes(kCut).empty() || !heldNodes(kCopy).empty(); }

void HoldingCabinet::dropCopies() {
  store::TreeOperations tree(store_, settings_, messages_);
  const store::TrayFile mails(store_, mailTray(kCopy));
  if (mails.exists()) tree.emptyTray(mails.name());
  for (const std::string& node : heldNodes(kCopy)) {
    if (!store::isCabinet(store_, node)) {
      tree.discardTray(node);
      continue;
    }
    for (const std::string& tray : tree.traysBelow(node)) tree.discardTray(tray);
    platform::removeTree(store::TrayName::path(store_, node, store::filetype::kPathOnly));
  }
}

bool HoldingCabinet::holdMails(const std::string& tray, const std::vector<std::uint32_t>& indices, bool cut) {
  if (indices.empty()) return false;
  const std::string_view holding = cut ? kCut : kCopy;
  if (!cut) dropCopies();
  if (!ensureMailTray(holding)) return false;
  const auto operations = mailOperations();
  if (cut) {
    const auto moved = operations.move(tray, indices, mailTray(holding));
    for (const auto& place : moved.placed)
      if (place) return true;
    return false;
  }
  for (const auto& place : operations.copy(tray, indices, mailTray(holding)))
    if (place) return true;
  return false;
}

bool HoldingCabinet::copyNode(const std::string& path, const std::string& target) {
  const auto operations = mailOperations();
  const auto copyTray = [&](const std::string& from, const std::string& to) {
    const store::TrayFile source(store_, from);
    const auto properties = source.properties();
    if (!properties || !store::TrayFile(store_, to).create(*properties)) return false;
    operations.copy(from, operations.liveIndices(from), to);
    return true;
  };
  if (!store::isCabinet(store_, path)) return copyTray(path, target);
  if (!platform::makeDirectory(store::TrayName::path(store_, target, store::filetype::kPathOnly))) return false;
  bool complete = true;
  store::walkTree(store_, path, [&](const store::TreeEntry& entry) {
    const std::string copied = target + entry.path.substr(path.size());
    if (entry.isCabinet) {
      complete = platform::makeDirectory(store::TrayName::path(store_, copied, store::filetype::kPathOnly)) && complete;
      return;
    }
    complete = copyTray(entry.path, copied) && complete;
  });
  return complete;
}

bool HoldingCabinet::holdNode(const std::string& path, bool cut) {
  const TreeNode node = nodeOf(store_, settings_, path);
  if (path.empty() || node.isSystemTray()) return false;
  const std::string_view holding = cut ? kCut : kCopy;
  if (!cut) dropCopies();
  const std::string holdingPath = store::TrayName::path(store_, holding, store::filetype::kPathOnly);
  if (!platform::isDirectory(holdingPath) && !platform::makeDirectories(holdingPath)) return false;
  if (cut) return store::TreeOperations(store_, settings_, messages_).move(path, holding);
  return copyNode(path, childPath(holding, node.name));
}

std::size_t HoldingCabinet::pasteMails(const std::string& target) {
  if (store::systemTrayKind(settings_, target) == store::kMailServerTray) return 0;
  const auto operations = mailOperations();
  std::size_t pasted = 0;
  for (const std::string_view holding : {kCut, kCopy}) {
    const std::string from = mailTray(holding);
    if (from == target || !store::TrayFile(store_, from).exists()) continue;
    const auto moved = operations.move(from, operations.liveIndices(from), target);
    for (const auto& place : moved.placed) pasted += place ? 1 : 0;
  }
  return pasted;
}

std::size_t HoldingCabinet::pasteNodes(const std::string& target) {
  store::TreeOperations tree(store_, settings_, messages_);
  std::size_t pasted = 0;
  for (const std::string_view holding : {kCut, kCopy})
    for (const std::string& node : heldNodes(holding)) pasted += tree.move(node, target) ? 1 : 0;
  return pasted;
}

}  // namespace zorvik::view
