/// \file
/// The cabinets and trays the tray tree and a cabinet's list show: what one
/// node is, and the children of a cabinet in their display order. Children
/// are grouped by class (the system trays in kind order, then cabinets,
/// then ordinary trays) and keep the listing's name order within a class,
/// so the trays the settings name are always at the top of the top cabinet
/// and nowhere is the user's own order shuffled.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/ItemValues.h"
#include "store/StoreLocation.h"

namespace zorvik::view {

struct TreeNode {
  std::string path;  // relative to the top cabinet; "" the top cabinet
  std::string name;  // the last level (the top cabinet: its own name)
  bool isCabinet = false;
  int trayKind = 0;  // system tray kind; 0 an ordinary tray or a cabinet

  /// The rank of the node's class (lower first).
  int classRank() const;
  bool isSystemTray() const { return !isCabinet && trayKind != 0; }
};

/// The top cabinet as a node.
TreeNode topCabinetNode(const store::StoreLocation& store);
/// The node for `path` (a tray or cabinet that exists or not).
TreeNode nodeOf(const store::StoreLocation& store, const core::ItemValues& settings, std::string_view path);
/// The children of cabinet `cabinet` in display order.
std::vector<TreeNode> childrenOf(const store::StoreLocation& store, const core::ItemValues& settings,
                                 std::string_view cabinet);
/// The cabinet holding `path` ("" for a node of the top cabinet).
std::string parentOf(std::string_view path);
/// The last level of `path`.
std::string lastLevelOf(std::string_view path);
/// `name` inside cabinet `cabinet`.
std::string childPath(std::string_view cabinet, std::string_view name);
/// Every tray below `cabinet` in the order the tree shows them when every
/// cabinet is expanded (depth first, children in display order).
std::vector<std::string> traysInTreeOrder(const store::StoreLocation& store, const core::ItemValues& settings,
                                          std::string_view cabinet = {});

}  // namespace zorvik::view
