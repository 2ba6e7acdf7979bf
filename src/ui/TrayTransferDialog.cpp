#include "ui/TrayTransferDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <ctime>

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "mailflow/SettingsWriteBack.h"
#include "platform/FileSystem.h"
#include "ui/ProgressPanel.h"
#include "ui/QtText.h"

namespace zorvik::ui {
namespace {

using view::TransferKind;
using view::TrayTransferForm;

constexpr auto kDayFormat = "yyyy-MM-dd";

QString titleOf(TransferKind kind) {
  switch (kind) {
    case TransferKind::Backup: return QStringLiteral("トレイのバックアップ");
    case TransferKind::Import: return QStringLiteral("外部からトレイ併合");
    case TransferKind::Export: break;
  }
  return QStringLiteral("外部へトレイ書出");
}

QString targetLabelOf(TransferKind kind) {
  switch (kind) {
    case TransferKind::Backup: return QStringLiteral("バックアップ先: ");
    case TransferKind::Import: return QStringLiteral("読み出すトレイ: ");
    case TransferKind::Export: break;
  }
  return QStringLiteral("書き出すトレイ: ");
}

QString readyTextOf(TransferKind kind) {
  switch (kind) {
    case TransferKind::Backup: return QStringLiteral("「実行」で選んだ期間のメールをバックアップします。");
    case TransferKind::Import: return QStringLiteral("「実行」で外部のトレイのメールを取り込みます。");
    case TransferKind::Export: break;
  }
  return QStringLiteral("「実行」でトレイのメールを外部へ書き出します。");
}

QString resultText(const std::optional<mailflow::TransferOutcome>& outcome) {
  if (!outcome) return QStringLiteral("実行できませんでした。");
  const QString copied = QString::number(outcome->copied);
  if (outcome->stopped) return QStringLiteral("中止しました（%1 通をコピーしました）。").arg(copied);
  if (outcome->ok) return QStringLiteral("完了しました（%1 通をコピーしました）。").arg(copied);
  return QStringLiteral("途中で失敗しました（%1 通をコピーしました）。").arg(copied);
}

}  // namespace

TrayTransferDialog::TrayTransferDialog(mailflow::Document& document, TransferKind kind, std::string selection,
                                       QWidget* parent)
    : WorkDialog(document.messages(), parent),
      document_(document),
      kind_(kind),
      selection_(std::move(selection)) {
  setWindowTitle(titleOf(kind));
  buildFields();
  progress()->setStatus(readyTextOf(kind));
  updateState();
}

QLineEdit* TrayTransferDialog::storeSideField() {
  storeSide_ = new QLineEdit(this);
  storeSide_->setReadOnly(true);
  storeSide_->setObjectName(QStringLiteral("storeSide"));
  return storeSide_;
}

QWidget* TrayTransferDialog::outsideRow() {
  auto* const row = new QWidget(this);
  auto* const layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  outside_ = new QLineEdit(row);
  outside_->setObjectName(QStringLiteral("outside"));
  outside_->setMinimumWidth(outside_->fontMetrics().averageCharWidth() * 44);
  auto* const browse = new QPushButton(QStringLiteral("参照..."), row);
  connect(browse, &QPushButton::clicked, this, &TrayTransferDialog::browse);
  layout->addWidget(outside_, 1);
  layout->addWidget(browse);
  return row;
}

void TrayTransferDialog::buildFields() {
  const view::TransferChoices remembered = TrayTransferForm::remembered(document_.settings(), kind_);
  auto* const form = new QFormLayout;
  if (kind_ == TransferKind::Import) {
    form->addRow(QStringLiteral("読出元(&R):"), outsideRow());
    form->addRow(QStringLiteral("書込先(&W):"), storeSideField());
  } else {
    form->addRow(kind_ == TransferKind::Backup ? QStringLiteral("読出トレイ:") : QStringLiteral("読出元(&R):"),
                 storeSideField());
    form->addRow(QStringLiteral("書込先(&W):"), outsideRow());
  }
  outside_->setText(fromSjis(remembered.directory));

  auto* const periodRow = new QHBoxLayout;
  period_ = new QComboBox(this);
  period_->setObjectName(QStringLiteral("period"));
  for (const std::string& name : TrayTransferForm::periodNames(kind_)) period_->addItem(fromSjis(name));
  period_->setCurrentIndex(remembered.period);
  day_ = new QDateEdit(QDate::currentDate(), this);
  day_->setCalendarPopup(true);
  day_->setDisplayFormat(QString::fromLatin1(kDayFormat));
  periodRow->addWidget(period_);
  periodRow->addWidget(day_);
  periodRow->addStretch(1);
  auto* const periodLabel = new QLabel(QStringLiteral("期間(&P):"), this);
  periodLabel->setBuddy(period_);
  form->addRow(periodLabel, periodRow);

  auto* const switches = new QVBoxLayout;
  auto addSwitch = [&](const QString& text, bool checked, int indent = 0) {
    auto* const box = new QCheckBox(text, this);
    box->setChecked(checked);
    auto* const row = new QHBoxLayout;
    row->addSpacing(indent);
    row->addWidget(box, 1);
    switches->addLayout(row);
    connect(box, &QCheckBox::toggled, this, &TrayTransferDialog::updateState);
    return box;
  };
  if (kind_ != TransferKind::Backup)
    sameTree_ = addSwitch(QStringLiteral("外部トレイも全く同じツリー構成とする (&T)"), remembered.sameTree);
  focusedOnly_ = addSwitch(QStringLiteral("フォーカス・トレイのみを対象とする (&F)"), remembered.focusedOnly);
  if (kind_ == TransferKind::Backup) {
    deleteCopied_ = addSwitch(QStringLiteral("バックアップしたメールを消去する (&D)"), remembered.deleteCopied);
    compactAfter_ = addSwitch(QStringLiteral("消去後トレイを整理する (&O)"), remembered.compactAfter,
                              fontMetrics().averageCharWidth() * 4);
  }
  if (kind_ == TransferKind::Export) removeSource_ = addSwitch(QStringLiteral("書き出したトレイを消去する (&D)"), false);

  target_ = new QLabel(this);
  target_->setObjectName(QStringLiteral("target"));
  target_->setWordWrap(true);
  target_->setForegroundRole(QPalette::PlaceholderText);
  target_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* const buttons = new QDialogButtonBox(this);
  save_ = buttons->addButton(QStringLiteral("設定保存"), QDialogButtonBox::ResetRole);
  run_ = buttons->addButton(QStringLiteral("実行"), QDialogButtonBox::ActionRole);
  setStopButton(buttons->addButton(QString(), QDialogButtonBox::RejectRole), QStringLiteral("閉じる"));
  run_->setDefault(true);
  connect(save_, &QPushButton::clicked, this, &TrayTransferDialog::saveChoices);
  connect(run_, &QPushButton::clicked, this, &TrayTransferDialog::runTransfer);
  connect(outside_, &QLineEdit::textChanged, this, &TrayTransferDialog::updateState);
  connect(period_, &QComboBox::currentIndexChanged, this, &TrayTransferDialog::updateState);
  connect(day_, &QDateEdit::dateChanged, this, &TrayTransferDialog::updateState);

  auto* const layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(switches);
  layout->addWidget(target_);
  layout->addSpacing(4);
  layout->addWidget(progress());
  layout->addWidget(buttons);
}

view::TransferChoices TrayTransferDialog::choices() const {
  view::TransferChoices choices;
  choices.directory = toSjis(outside_->text().trimmed());
  choices.period = period_->currentIndex();
  choices.pickedDay = day_->date().toString(QString::fromLatin1(kDayFormat)).toStdString();
  choices.sameTree = !sameTree_ || sameTree_->isChecked();
  choices.focusedOnly = focusedOnly_->isChecked();
  choices.deleteCopied = deleteCopied_ && deleteCopied_->isChecked();
  choices.compactAfter = compactAfter_ && compactAfter_->isChecked();
  choices.removeSource = removeSource_ && removeSource_->isChecked();
  return choices;
}

QString TrayTransferDialog::storeSideText() const {
  const std::string side = TrayTransferForm::storeSide(choices(), selection_);
  if (!side.empty()) return fromSjis(side);
  return fromSjis(document_.settings().text(core::item::kTopCabinet)) + QStringLiteral("（全体）");
}

void TrayTransferDialog::updateState() {
  const bool idle = !running();
  const view::TransferChoices now = choices();
  for (QWidget* field : std::initializer_list<QWidget*>{outside_, period_, focusedOnly_, save_})
    field->setEnabled(idle);
  for (QCheckBox* box : {sameTree_, deleteCopied_}) {
    if (box) box->setEnabled(idle);
  }
  if (compactAfter_) compactAfter_->setEnabled(idle && now.deleteCopied);
  if (removeSource_) removeSource_->setEnabled(idle && now.focusedOnly && !selection_.empty());
  day_->setEnabled(idle && now.period == TrayTransferForm::pickedDayChoice(kind_));
  run_->setEnabled(idle && TrayTransferForm::runnable(now, kind_));
  storeSide_->setText(storeSideText());
  const std::string top = document_.settings().text(core::item::kTopCabinet);
  target_->setText(platform::isFullPath(now.directory)
                       ? targetLabelOf(kind_) +
                             fromSjis(TrayTransferForm::outsidePath(now, kind_, top, selection_))
                       : QStringLiteral("書込先・読出元には、フォルダを / から始まる形で指定してください。"));
}

void TrayTransferDialog::browse() {
  const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("フォルダの選択"), outside_->text());
  if (!folder.isEmpty()) outside_->setText(folder);
}

void TrayTransferDialog::saveChoices() {
  const view::TransferChoices chosen = choices();
  const bool saved = mailflow::SettingsWriteBack::apply(
      document_, [&](core::SettingsFile& settings) { TrayTransferForm::remember(settings, kind_, chosen); });
  progress()->setStatus(saved ? QStringLiteral("設定を保存しました。") : QStringLiteral("設定を保存できませんでした。"));
}

void TrayTransferDialog::runTransfer() {
  using Outcome = std::optional<mailflow::TransferOutcome>;
  const view::TransferChoices chosen = choices();
  const core::SettingsFile& settings = document_.settings();
  const std::time_t now = std::time(nullptr);
  const int zone = settings.timeZoneOffsetHours();
  const std::string top = settings.text(core::item::kTopCabinet);
  const mailflow::Document& document = document_;
  std::function<Outcome(mailflow::FrontEnd&)> work;
  if (kind_ == TransferKind::Backup) {
    if (auto request = TrayTransferForm::backupRequest(chosen, selection_, now, zone))
      work = [&document, request = *request](mailflow::FrontEnd& front) {
        return mailflow::TrayTransferFlow::backup(document, front, request);
      };
  } else if (kind_ == TransferKind::Import) {
    if (auto request = TrayTransferForm::mergeRequest(chosen, top, selection_, now, zone))
      work = [&document, request = *request](mailflow::FrontEnd& front) {
        return mailflow::TrayTransferFlow::merge(document, front, request);
      };
  } else if (auto request = TrayTransferForm::exportRequest(chosen, top, selection_, now, zone)) {
    work = [&document, request = *request](mailflow::FrontEnd& front) {
      return mailflow::TrayTransferFlow::exportTrays(document, front, request);
    };
  }
  if (!work) return;
  outcome_.reset();
  startWork<Outcome>(std::move(work), [this](Outcome& outcome) { transferEnded(outcome); },
                     QStringLiteral("実行中..."));
}

void TrayTransferDialog::transferEnded(const std::optional<mailflow::TransferOutcome>& outcome) {
  outcome_ = outcome;
  progress()->end(resultText(outcome_), outcome_ && outcome_->ok);
  emit transferFinished();
}

}  // namespace zorvik::ui
