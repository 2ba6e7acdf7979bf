#include "ui/ToolBarDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

#include "ui/OkCancelButtons.h"
#include "ui/QtText.h"
#include "ui/ToolBarIcons.h"
#include "ui/UiLog.h"
#include "view/ToolBarSequence.h"

namespace zorvik::ui {
namespace {

using view::ToolBarSequence;

// A strip of buttons laid out in a row that wraps. The upper strip only
// gives buttons away, and takes back (deletes) those dragged out of the
// lower one.
class ButtonStrip final : public QListWidget {
public:
  ButtonStrip(bool source, QWidget* parent) : QListWidget(parent), source_(source) {
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setIconSize(QSize(24, 24));
    setGridSize(QSize(76, 56));
    setWordWrap(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(source ? Qt::CopyAction : Qt::MoveAction);
    setMinimumHeight(130);
  }

protected:
  void dropEvent(QDropEvent* event) override {
    auto* from = qobject_cast<QListWidget*>(event->source());
    if (source_) {
      // Dropped back on the full set: the button leaves the sequence.
      if (from && from != this) {
        for (QListWidgetItem* item : from->selectedItems()) delete item;
      }
      event->setDropAction(Qt::IgnoreAction);
      event->accept();
      return;
    }
    if (from && from != this) {
      event->setDropAction(Qt::CopyAction);
    }
    QListWidget::dropEvent(event);
  }

private:
  bool source_;
};

}  // namespace

ToolBarDialog::ToolBarDialog(const view::CommandTable& commands, std::map<int, BarChoice> current, QWidget* parent)
    : QDialog(parent),
      commands_(commands),
      choices_(std::move(current)),
      bars_(new QListWidget(this)),
      full_(new ButtonStrip(true, this)),
      sequence_(new ButtonStrip(false, this)),
      show_(new QCheckBox(QStringLiteral("全体を表示する"), this)) {
  setWindowTitle(QStringLiteral("ツールボタンのカスタマイズ"));
  UiLog::global().watch(this);
  auto* layout = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  for (const view::ToolBar& bar : view::toolBars()) {
    const view::Command* command = commands_.find(bar.id);
    const std::string text = command ? command->text.substr(0, command->text.find("(&")) : std::string();
    bars_->addItem(fromSjis(text));
  }
  bars_->setMaximumWidth(180);
  left->addWidget(bars_, 1);
  left->addWidget(show_);
  layout->addLayout(left);

  auto* right = new QVBoxLayout;
  auto* fullBox = new QGroupBox(QStringLiteral("用意されているツールボタン"), this);
  (new QVBoxLayout(fullBox))->addWidget(full_);
  auto* sequenceBox = new QGroupBox(QStringLiteral("編集ツールボタン"), this);
  (new QVBoxLayout(sequenceBox))->addWidget(sequence_);
  right->addWidget(fullBox);
  right->addWidget(sequenceBox);
  QDialogButtonBox* buttons = okCancelButtons(*this);
  right->addWidget(buttons);
  layout->addLayout(right, 1);

  connect(bars_, &QListWidget::currentRowChanged, this, &ToolBarDialog::showBar);
  bars_->setCurrentRow(0);
  setMinimumSize(760, 440);
}

const view::ToolBar& ToolBarDialog::barAt(int row) const { return view::toolBars()[static_cast<std::size_t>(row)]; }

void ToolBarDialog::keepShownBar() {
  if (shownRow_ < 0) return;
  BarChoice& choice = choices_[barAt(shownRow_).id];
  choice.entries.clear();
  for (int i = 0; i < sequence_->count(); ++i) choice.entries.push_back(sequence_->item(i)->data(Qt::UserRole).toInt());
  choice.entries = ToolBarSequence::normalized(choice.entries);
  choice.shown = show_->isChecked();
}

void ToolBarDialog::showBar(int row) {
  keepShownBar();
  shownRow_ = row;
  full_->clear();
  sequence_->clear();
  if (row < 0) return;
  const view::ToolBar& bar = barAt(row);
  const std::vector<int> full = ToolBarSequence::fullSet(bar);
  const auto add = [this, &full](QListWidget* strip, int entry) {
    QString text = QStringLiteral("区切り");
    QIcon icon;
    if (entry != ToolBarSequence::kSeparator) {
      const int command = full[static_cast<std::size_t>(entry)];
      text = fromSjis(commands_.buttonText(command));
      icon = toolBarIcon(command, text, *this);
    }
    auto* item = new QListWidgetItem(icon, text, strip);
    item->setData(Qt::UserRole, entry);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
  };
  for (std::size_t i = 0; i < full.size(); ++i) add(full_, static_cast<int>(i));
  add(full_, ToolBarSequence::kSeparator);
  const auto chosen = choices_.find(bar.id);
  const std::vector<int> entries = chosen != choices_.end() ? chosen->second.entries : ToolBarSequence::builtIn(bar);
  for (const int entry : entries) add(sequence_, entry);
  show_->setChecked(chosen == choices_.end() || chosen->second.shown);
}

void ToolBarDialog::accept() {
  keepShownBar();
  QDialog::accept();
}

}  // namespace zorvik::ui
