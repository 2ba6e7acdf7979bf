#include "view/TreeNode.h"

#include <algorithm>

#include "store/SystemTrays.h"
#include "store/TreeListing.h"

namespace zorvik::view {

int TreeNode::classRank() const {
  if (isCabinet) return 8;
  return trayKind == 0 ? 9 : trayKind;
}

std::string parentOf(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string lastLevelOf(std::string_view path) {
  const auto slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string childPath(std::string_view cabinet, std::string_view name) {
  if (cabinet.empty()) return std::string(name);
  return std::string(cabinet) + "/" + std::string(name);
}

TreeNode topCabinetNode(const store::StoreLocation& store) { return {"", store.topCabinet, true, 0}; }

TreeNode nodeOf(const store::StoreLocation& store, const core::ItemValues& settings, std::string_view path) {
  if (path.empty()) return topCabinetNode(store);
  const bool cabinet = store::isCabinet(store, path);
  return {std::string(path), lastLevelOf(path), cabinet,
          cabinet ? 0 : static_cast<int>(store::systemTrayKind(settings, path))};
}

std::vector<TreeNode> childrenOf(const store::StoreLocation& store, const core::ItemValues& settings,
                                 std::string_view cabinet) {
  std::vector<TreeNode> nodes;
  for (const store::TreeEntry& entry : store::listCabinet(store, cabinet)) {
    nodes.push_back({entry.path, lastLevelOf(entry.path), entry.isCabinet,
                     entry.isCabinet ? 0 : static_cast<int>(store::systemTrayKind(settings, entry.path))});
  }
  std::stable_sort(nodes.begin(), nodes.end(),
                   [](const TreeNode& a, const TreeNode& b) { return a.classRank() < b.classRank(); });
  return nodes;
}

std::vector<std::string> traysInTreeOrder(const store::StoreLocation& store, const core::ItemValues& settings,
                                          std::string_view cabinet) {
  std::vector<std::string> trays;
  std::vector<TreeNode> pending = childrenOf(store, settings, cabinet);
  std::reverse(pending.begin(), pending.end());
  int guard = 0;
  while (!pending.empty() && ++guard < 1000000) {
    TreeNode node = std::move(pending.back());
    pending.pop_back();
    if (!node.isCabinet) {
      trays.push_back(std::move(node.path));
      continue;
    }
    if (std::count(node.path.begin(), node.path.end(), '/') >= store::kMaxTreeDepth) continue;
    auto children = childrenOf(store, settings, node.path);
    pending.insert(pending.end(), children.rbegin(), children.rend());
  }
  return trays;
}

}  // namespace zorvik::view
