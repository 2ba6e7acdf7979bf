/// \file
/// What a drag over the tray tree may do, and what a drop does. The dragged
/// thing is a set of mails of one tray, a tray, a cabinet, or several tree
/// items at once (from a cabinet's list).
///
/// While dragging (dragEffect):
///  - nothing may be dropped on itself or on its own parent (the tray the
///    mails are in, the cabinet a tray or cabinet lies in), nor a cabinet
///    into a cabinet below itself;
///  - mails go onto trays, never into the mail server tray (which mirrors
///    the server), and copies in the mail server tray are not dragged at
///    all; trays and cabinets go onto cabinets; system trays and the top
///    cabinet stay where they are;
///  - keys choose the operation for mails: none move, Ctrl copies, Ctrl
///    with Shift (or Alt) links; trays and cabinets only move; a drag with
///    the right button asks with the drop menu instead.
///
/// At the drop (refusal): a link is made only of mails (40251) and never of
/// a link row (40253); several tree items are not moved at once (40264). A
/// name already taken at the target is the store's refusal (40240).
#pragma once

#include <optional>
#include <string>

#include "core/MessageNumber.h"

namespace zorvik::view {

struct DragItem {
  enum class Kind { Mails, Tray, Cabinet, SeveralItems };

  Kind kind = Kind::Mails;
  std::string path;    // the mails' tray, or the tray or cabinet dragged
  int trayKind = 0;    // system tray kind of `path` when it is a tray
  bool hasLinkRows = false;  // for mails: one of them is a link row
};

struct DropTarget {
  std::string path;
  bool isCabinet = false;
  int trayKind = 0;
};

struct DragKeys {
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  bool rightButton = false;
};

enum class DropOperation { None, Move, Copy, Link, AskWithMenu };

/// The effect shown while `item` is over `target`.
DropOperation dragEffect(const DragItem& item, const DropTarget& target, const DragKeys& keys);

/// The refusal of performing `operation` (chosen from the keys or the drop
/// menu) with `item`, if any.
std::optional<core::MessageNumber> dropRefusal(const DragItem& item, DropOperation operation);

}  // namespace zorvik::view
