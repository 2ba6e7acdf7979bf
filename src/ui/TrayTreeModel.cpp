#include "ui/TrayTreeModel.h"

#include <algorithm>

#include "store/TreeOperations.h"
#include "ui/MailIcons.h"
#include "ui/QtText.h"

namespace zorvik::ui {

struct TrayTreeModel::Node {
  view::TreeNode data;
  Node* parent = nullptr;
  std::vector<std::unique_ptr<Node>> children;
  bool childrenRead = false;

  int row() const {
    if (!parent) return 0;
    const auto& siblings = parent->children;
    const auto found = std::find_if(siblings.begin(), siblings.end(), [this](const auto& n) { return n.get() == this; });
    return static_cast<int>(found - siblings.begin());
  }
};

TrayTreeModel::TrayTreeModel(const mailflow::Document& document, core::Messages& messages, QObject* parent)
    : QAbstractItemModel(parent), document_(document), messages_(messages), root_(std::make_unique<Node>()) {
  auto top = std::make_unique<Node>();
  top->data = view::topCabinetNode(document_.store());
  top->parent = root_.get();
  root_->children.push_back(std::move(top));
  root_->childrenRead = true;
}

TrayTreeModel::~TrayTreeModel() = default;

TrayTreeModel::Node* TrayTreeModel::nodeOf(const QModelIndex& index) const {
  return index.isValid() ? static_cast<Node*>(index.internalPointer()) : root_.get();
}

QModelIndex TrayTreeModel::indexOf(const Node* node) const {
  if (!node || node == root_.get()) return {};
  return createIndex(node->row(), 0, const_cast<Node*>(node));
}

const view::TreeNode& TrayTreeModel::node(const QModelIndex& index) const {
  const Node* found = nodeOf(index);
  return found == root_.get() ? root_->children.front()->data : found->data;
}

QModelIndex TrayTreeModel::index(int row, int column, const QModelIndex& parent) const {
  const Node* owner = nodeOf(parent);
  if (column != 0 || row < 0 || row >= static_cast<int>(owner->children.size())) return {};
  return createIndex(row, 0, owner->children[static_cast<std::size_t>(row)].get());
}

QModelIndex TrayTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  return indexOf(nodeOf(child)->parent);
}

int TrayTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  return static_cast<int>(nodeOf(parent)->children.size());
}

int TrayTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool TrayTreeModel::hasChildren(const QModelIndex& parent) const {
  const Node* owner = nodeOf(parent);
  if (owner == root_.get()) return true;
  if (!owner->data.isCabinet) return false;
  return !owner->childrenRead || !owner->children.empty();
}

bool TrayTreeModel::canFetchMore(const QModelIndex& parent) const {
  const Node* owner = nodeOf(parent);
  return owner != root_.get() && owner->data.isCabinet && !owner->childrenRead;
}

void TrayTreeModel::fetchMore(const QModelIndex& parent) {
  Node* owner = nodeOf(parent);
  if (owner == root_.get() || owner->childrenRead) return;
  readChildren(owner);
}

void TrayTreeModel::readChildren(Node* node) {
  node->childrenRead = true;
  auto children = view::childrenOf(document_.store(), document_.settings(), node->data.path);
  if (children.empty()) {
    // The placeholder arrow goes: there is nothing to expand.
    const QModelIndex index = indexOf(node);
    emit dataChanged(index, index);
    return;
  }
  beginInsertRows(indexOf(node), 0, static_cast<int>(children.size()) - 1);
  for (view::TreeNode& child : children) {
    auto created = std::make_unique<Node>();
    created->data = std::move(child);
    created->parent = node;
    node->children.push_back(std::move(created));
  }
  endInsertRows();
}

QVariant TrayTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const view::TreeNode& tree = nodeOf(index)->data;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return fromSjis(tree.name);
    case Qt::DecorationRole: return MailIcons::icon(tree.isCabinet ? 0 : 8 + tree.trayKind);
    case Qt::ToolTipRole: return fromSjis(tree.path.empty() ? tree.name : tree.path);
    case PathRole: return QByteArray(tree.path.data(), static_cast<qsizetype>(tree.path.size()));
    case IsCabinetRole: return tree.isCabinet;
    case TrayKindRole: return tree.trayKind;
    default: return {};
  }
}

Qt::ItemFlags TrayTreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  const view::TreeNode& tree = nodeOf(index)->data;
  if (!tree.path.empty() && !tree.isSystemTray()) flags |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
  return flags;
}

bool TrayTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  Node* node = nodeOf(index);
  const std::string name = toSjis(value.toString());
  if (name == node->data.name) return true;
  store::TreeOperations tree(document_.store(), document_.settings(), messages_);
  if (!tree.rename(node->data.path, name)) return false;
  const std::string oldPath = node->data.path;
  repath(node, view::childPath(view::parentOf(oldPath), name));
  node->data.name = name;
  emit dataChanged(index, index);
  emit renamed(QByteArray::fromStdString(oldPath), QByteArray::fromStdString(node->data.path));
  return true;
}

void TrayTreeModel::repath(Node* node, const std::string& path) {
  const std::string old = node->data.path;
  node->data.path = path;
  for (auto& child : node->children) repath(child.get(), path + child->data.path.substr(old.size()));
}

QModelIndex TrayTreeModel::indexOf(const std::string& path) {
  Node* node = root_->children.front().get();
  if (path.empty()) return indexOf(node);
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    const std::string prefix = path.substr(0, slash);
    if (!node->childrenRead) readChildren(node);
    const auto found = std::find_if(node->children.begin(), node->children.end(),
                                    [&prefix](const auto& child) { return child->data.path == prefix; });
    if (found == node->children.end()) return {};
    node = found->get();
    if (slash == path.size()) return indexOf(node);
    start = slash + 1;
  }
  return {};
}

void TrayTreeModel::reload(const std::string& path) {
  const QModelIndex index = indexOf(path);
  Node* node = index.isValid() ? nodeOf(index) : nullptr;
  if (!node || !node->data.isCabinet) return;
  if (!node->childrenRead) {
    emit dataChanged(index, index);
    return;
  }
  reconcile(node);
}

void TrayTreeModel::reconcile(Node* node) {
  const auto fresh = view::childrenOf(document_.store(), document_.settings(), node->data.path);
  const QModelIndex parent = indexOf(node);
  const auto inFresh = [&fresh](const Node& child) {
    return std::any_of(fresh.begin(), fresh.end(), [&child](const view::TreeNode& f) {
      return f.path == child.data.path && f.isCabinet == child.data.isCabinet;
    });
  };
  for (int row = static_cast<int>(node->children.size()) - 1; row >= 0; --row) {
    if (inFresh(*node->children[static_cast<std::size_t>(row)])) continue;
    beginRemoveRows(parent, row, row);
    node->children.erase(node->children.begin() + row);
    endRemoveRows();
  }
  for (std::size_t at = 0; at < fresh.size(); ++at) {
    const bool present = at < node->children.size() && node->children[at]->data.path == fresh[at].path;
    if (present) {
      node->children[at]->data.trayKind = fresh[at].trayKind;
      continue;
    }
    const auto elsewhere = std::find_if(node->children.begin(), node->children.end(),
                                        [&](const auto& child) { return child->data.path == fresh[at].path; });
    if (elsewhere != node->children.end()) continue;  // order changed only: leave it
    const int row = static_cast<int>(std::min(at, node->children.size()));
    beginInsertRows(parent, row, row);
    auto created = std::make_unique<Node>();
    created->data = fresh[at];
    created->parent = node;
    node->children.insert(node->children.begin() + row, std::move(created));
    endInsertRows();
  }
  for (auto& child : node->children)
    if (child->data.isCabinet && child->childrenRead) reconcile(child.get());
}

void TrayTreeModel::reloadAll() { reconcile(root_->children.front().get()); }

}  // namespace zorvik::ui
