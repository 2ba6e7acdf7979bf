/// \file
/// The tray tree as a Qt item model: the top cabinet at the root, children
/// read from the store when a cabinet is first expanded (fetchMore), in the
/// display order of view::childrenOf. Renaming in place goes through the
/// store's tree operations, which refuse bad names with their numbered
/// messages and keep the links pointing at their mails.
///
/// After the store changed (a new tray, a move, a delete) reload() brings a
/// cabinet's children up to date without disturbing the nodes that are
/// still there, so expanded cabinets stay expanded.
#pragma once

#include <QAbstractItemModel>

#include <memory>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "mailflow/Document.h"
#include "view/TreeNode.h"

namespace zorvik::ui {

class TrayTreeModel : public QAbstractItemModel {
  Q_OBJECT

public:
  enum Role { PathRole = Qt::UserRole + 1, IsCabinetRole, TrayKindRole };

  TrayTreeModel(const mailflow::Document& document, core::Messages& messages, QObject* parent = nullptr);
  ~TrayTreeModel() override;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  /// The node of an index (the top cabinet for an invalid one).
  const view::TreeNode& node(const QModelIndex& index) const;
  /// The index of `path`, reading the cabinets on the way; invalid when
  /// there is no such node.
  QModelIndex indexOf(const std::string& path);
  /// Re-reads the children of cabinet `path` (when they were read).
  void reload(const std::string& path);
  /// Re-reads every cabinet whose children were read.
  void reloadAll();

signals:
  /// A node was renamed in place (Shift_JIS paths).
  void renamed(const QByteArray& oldPath, const QByteArray& newPath);

private:
  struct Node;
  Node* nodeOf(const QModelIndex& index) const;
  QModelIndex indexOf(const Node* node) const;
  void readChildren(Node* node);
  void reconcile(Node* node);
  void repath(Node* node, const std::string& path);

  const mailflow::Document& document_;
  core::Messages& messages_;
  std::unique_ptr<Node> root_;  // invisible; its one child is the top cabinet
};

}  // namespace zorvik::ui
