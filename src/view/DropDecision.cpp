#include "view/DropDecision.h"

#include "store/SystemTrays.h"
#include "view/TreeNode.h"

namespace zorvik::view {
namespace {

bool isInside(const std::string& path, const std::string& cabinet) {
  return path.size() > cabinet.size() && path.compare(0, cabinet.size(), cabinet) == 0 && path[cabinet.size()] == '/';
}

bool mayLand(const DragItem& item, const DropTarget& target) {
  switch (item.kind) {
    case DragItem::Kind::Mails:
      return !target.isCabinet && target.path != item.path && target.trayKind != store::kMailServerTray &&
             item.trayKind != store::kMailServerTray;
    case DragItem::Kind::Tray:
      return target.isCabinet && item.trayKind == store::kOrdinaryTray && parentOf(item.path) != target.path;
    case DragItem::Kind::Cabinet:
      return target.isCabinet && !item.path.empty() && target.path != item.path &&
             parentOf(item.path) != target.path && !isInside(target.path, item.path);
    case DragItem::Kind::SeveralItems:
      return target.isCabinet && target.path != item.path;
  }
  return false;
}

}  // namespace

DropOperation dragEffect(const DragItem& item, const DropTarget& target, const DragKeys& keys) {
  if (!mayLand(item, target)) return DropOperation::None;
  if (keys.rightButton) return DropOperation::AskWithMenu;
  if (item.kind != DragItem::Kind::Mails) return DropOperation::Move;
  if ((keys.ctrl && keys.shift) || keys.alt) return DropOperation::Link;
  if (keys.ctrl) return DropOperation::Copy;
  return DropOperation::Move;
}

std::optional<core::MessageNumber> dropRefusal(const DragItem& item, DropOperation operation) {
  if (item.kind == DragItem::Kind::SeveralItems && operation != DropOperation::None)
    return core::MessageNumber::MultipleMoveOfNonMailUnsupported;
  if (operation != DropOperation::Link) return std::nullopt;
  if (item.kind != DragItem::Kind::Mails) return core::MessageNumber::LinkOfNonMailUnsupported;
  if (item.hasLinkRows) return core::MessageNumber::MultipleLinkUnsupported;
  return std::nullopt;
}

}  // namespace zorvik::view
