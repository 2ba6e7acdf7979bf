#include "ui/KeyCaptureDialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QHeaderView>
#include <QTreeWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

#include "core/SettingsItemTable.h"
#include "ui/KeyStrokes.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"
#include "view/KeyPresets.h"

namespace zorvik::ui {
namespace {

view::MacroTable tableOf(int id) {
  namespace item = core::item;
  if (id == item::kTreeKeys) return view::MacroTable::trayTree();
  if (id == item::kListKeys) return view::MacroTable::mailList();
  if (id == item::kTextKeys) return view::MacroTable::textView();
  return view::MacroTable::editor();
}

}  // namespace

KeyCaptureField::KeyCaptureField(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
}

void KeyCaptureField::clear() {
  capture_.clear();
  update();
}

QSize KeyCaptureField::sizeHint() const { return {240, fontMetrics().height() + 12}; }

bool KeyCaptureField::event(QEvent* event) {
  // Every key is taken here, before shortcuts and focus changes see it.
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (event->type() != QEvent::KeyPress) return QWidget::event(event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers held = key->modifiers();
  if (const auto stroke = strokeOf(*key)) {
    capture_.press(*stroke);
  } else if (key->key() == Qt::Key_Shift || key->key() == Qt::Key_Control || key->key() == Qt::Key_Alt) {
    capture_.press({0, held.testFlag(Qt::AltModifier), held.testFlag(Qt::ShiftModifier),
                    held.testFlag(Qt::ControlModifier)});
  }
  update();
  return true;
}

void KeyCaptureField::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionFrame frame;
  frame.initFrom(this);
  frame.lineWidth = 1;
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);
  painter.drawText(rect().adjusted(6, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft, fromSjis(capture_.text()));
}

KeyCaptureDialog::KeyCaptureDialog(view::MacroTable table, std::string_view definition, bool offerStandard,
                                   QWidget* parent)
    : QDialog(parent),
      editor_(std::move(table), definition),
      list_(new QTreeWidget(this)),
      current_(new QLabel(this)),
      capture_(new KeyCaptureField(this)),
      clash_(new QLabel(this)),
      set_(new QPushButton(QStringLiteral("設定(&S)"), this)),
      unset_(new QPushButton(QStringLiteral("解除(&R)"), this)) {
  setWindowTitle(QStringLiteral("制御キーの設定"));
  UiLog::global().watch(this);
  auto* layout = new QVBoxLayout(this);
  auto* listLabel = new QLabel(QStringLiteral("制御キーに割当てられる機能(&F)："), this);
  listLabel->setBuddy(list_);
  layout->addWidget(listLabel);
  list_->setMinimumSize(520, 240);
  list_->setColumnCount(2);
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({QStringLiteral("機能"), QStringLiteral("割当")});
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  layout->addWidget(list_, 1);

  auto* currentBox = new QGroupBox(QStringLiteral("現在の設定"), this);
  (new QHBoxLayout(currentBox))->addWidget(current_);
  layout->addWidget(currentBox);

  auto* newBox = new QGroupBox(QStringLiteral("新しく割り当てる設定(&N)"), this);
  auto* newLine = new QHBoxLayout(newBox);
  newLine->addWidget(capture_, 1);
  auto* clear = new QPushButton(QStringLiteral("×"), newBox);
  clear->setFixedWidth(clear->sizeHint().height() + 8);
  clear->setFocusPolicy(Qt::NoFocus);
  newLine->addWidget(clear);
  newLine->addWidget(set_);
  newLine->addWidget(unset_);
  layout->addWidget(newBox);
  clash_->setWordWrap(true);
  layout->addWidget(clash_);

  auto* bottom = new QHBoxLayout;
  if (offerStandard) {
    auto* standard = new QPushButton(QStringLiteral("Windows標準に戻す(&W)"), this);
    connect(standard, &QPushButton::clicked, this, [this] { done(kStandardLayout); });
    bottom->addWidget(standard);
  }
  bottom->addStretch(1);
  auto* ok = new QPushButton(QStringLiteral("OK（更新）"), this);
  auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ（取消）"), this);
  ok->setAutoDefault(false);
  bottom->addWidget(ok);
  bottom->addWidget(cancel);
  layout->addLayout(bottom);

  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(clear, &QPushButton::clicked, capture_, &KeyCaptureField::clear);
  connect(list_, &QTreeWidget::currentItemChanged, this, &KeyCaptureDialog::showSelected);
  connect(set_, &QPushButton::clicked, this, [this] {
    const int row = currentRow();
    if (row < 0 || !capture_->capture().captured()) return;
    const auto clashes = editor_.bind(static_cast<std::size_t>(row), capture_->capture());
    QStringList names;
    for (const std::string& name : clashes) names << QString::fromStdString(name);
    clash_->setText(names.isEmpty() ? QString() : QStringLiteral("重複: %1").arg(names.join(QStringLiteral(", "))));
    refresh();
  });
  connect(unset_, &QPushButton::clicked, this, [this] {
    if (currentRow() < 0) return;
    editor_.unbind(static_cast<std::size_t>(currentRow()));
    refresh();
  });
  refresh();
  list_->setCurrentItem(list_->topLevelItem(0));
}

int KeyCaptureDialog::currentRow() const {
  QTreeWidgetItem* item = list_->currentItem();
  return item ? list_->indexOfTopLevelItem(item) : -1;
}

void KeyCaptureDialog::refresh() {
  if (list_->topLevelItemCount() == 0) {
    for (std::size_t i = 0; i < editor_.table().size(); ++i) new QTreeWidgetItem(list_);
  }
  for (std::size_t i = 0; i < editor_.table().size(); ++i) {
    const QStringList parts = fromSjis(editor_.line(i)).split(QLatin1Char('\t'));
    QTreeWidgetItem* item = list_->topLevelItem(static_cast<int>(i));
    item->setText(0, parts.value(0));
    item->setText(1, parts.value(1));
  }
  showSelected();
}

void KeyCaptureDialog::showSelected() {
  const int row = currentRow();
  current_->setText(row < 0 ? QString() : fromSjis(editor_.binding(static_cast<std::size_t>(row))));
}

std::optional<std::string> KeyCaptureDialog::edit(int id, const std::string& definition, QWidget* parent) {
  const bool editor = id == core::item::kEditorKeys;
  KeyCaptureDialog dialog(tableOf(id), definition, editor, parent);
  const int result = dialog.exec();
  if (result == kStandardLayout) return view::editorKeyPresets()[0].definition;
  if (result != QDialog::Accepted) return std::nullopt;
  return dialog.definition();
}

}  // namespace zorvik::ui
