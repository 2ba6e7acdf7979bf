#include "ui/ImportDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "import/BeckyConverter.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {
namespace {

// "説明(*.mbx)|*.mbx|すべてのﾌｧｲﾙ(*.*)|*.*||" as Qt's "説明(*.mbx);;すべてのﾌｧｲﾙ(*)":
// the descriptions name their patterns, which Qt reads from the brackets.
QString qtFilter(const std::string& windowsFilter) {
  const QStringList parts = fromSjis(windowsFilter).split(QLatin1Char('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    filters << QString(parts[i]).replace(QStringLiteral("*.*"), QStringLiteral("*"));
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace

ImportDialog::ImportDialog(std::string tray, std::optional<std::string> cabinet, QWidget* parent)
    : QDialog(parent),
      tray_(std::move(tray)),
      cabinet_(std::move(cabinet)),
      kinds_(new QListWidget(this)),
      source_(new QLineEdit(this)),
      period_(new QButtonGroup(this)) {
  setWindowTitle(QStringLiteral("他のﾒｰﾗより取得"));
  UiLog::global().watch(this);
  auto* layout = new QVBoxLayout(this);
  if (cabinet_) {
    auto* note = new QLabel(QStringLiteral("■■■ﾌｫﾙﾀﾞの下のすべてのﾌｧｲﾙの取込み■■■\n"
                                           "選択したﾌｧｲﾙと同じ拡張子のﾌｧｲﾙはすべて取り込まれます。\n"
                                           "拡張子を決めるために代表のﾌｧｲﾙを１つ選択してください。"),
                            this);
    layout->addWidget(note);
  }
  auto* kindLabel = new QLabel(QStringLiteral("ﾒｰﾗの種類(&K)："), this);
  kindLabel->setBuddy(kinds_);
  layout->addWidget(kindLabel);
  for (const import::MailerKindInfo& info : import::MailerKinds::all()) {
    auto* row = new QListWidgetItem(QString::fromUtf8(info.name), kinds_);
    row->setData(Qt::UserRole, static_cast<int>(info.kind));
  }
  kinds_->setMinimumHeight(kinds_->sizeHintForRow(0) * 6);
  layout->addWidget(kinds_);

  auto* sourceLabel = new QLabel(QStringLiteral("取り込む他のﾒｰﾗのﾄﾚｲ存在場所(&P)"), this);
  sourceLabel->setBuddy(source_);
  layout->addWidget(sourceLabel);
  auto* sourceLine = new QHBoxLayout;
  sourceLine->addWidget(source_, 1);
  auto* browseButton = new QPushButton(QStringLiteral("参照(&B)..."), this);
  sourceLine->addWidget(browseButton);
  layout->addLayout(sourceLine);
  connect(browseButton, &QPushButton::clicked, this, &ImportDialog::browse);

  auto* periods = new QGroupBox(QStringLiteral("取込期間(&D)"), this);
  auto* periodLine = new QHBoxLayout(periods);
  int choice = 0;
  for (const QString& name : {QStringLiteral("全部"), QStringLiteral("1ヶ月"), QStringLiteral("3ヶ月"),
                              QStringLiteral("半年"), QStringLiteral("1年")}) {
    auto* button = new QRadioButton(name, periods);
    period_->addButton(button, choice++);
    periodLine->addWidget(button);
  }
  period_->button(import::ImportPeriod::kAll)->setChecked(true);
  layout->addWidget(periods);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("取得(&G)"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void ImportDialog::browse() {
  const QListWidgetItem* current = kinds_->currentItem();
  const auto kind = current ? std::optional(static_cast<import::MailerKind>(current->data(Qt::UserRole).toInt()))
                            : std::nullopt;
  const QString start = source_->text();
  const QString chosen =
      kind == import::MailerKind::Maildir
          ? QFileDialog::getExistingDirectory(this, QStringLiteral("他のﾒｰﾗより取得"), start)
          : QFileDialog::getOpenFileName(this, QStringLiteral("他のﾒｰﾗより取得"), start,
                                         kind ? qtFilter(import::MailerKinds::dialogFilter(*kind))
                                              : QStringLiteral("すべてのﾌｧｲﾙ(*)"));
  if (!chosen.isEmpty()) source_->setText(chosen);
}

void ImportDialog::accept() {
  const mailflow::ImportRequest asked = request();
  attachFolder_.reset();
  if (asked.kind == import::MailerKind::Becky && !asked.source.empty() &&
      !import::BeckyConverter::findAttachFolder(asked.source)) {
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Becky! 添付ファイルフォルダを指定"),
                                                             source_->text());
    if (!folder.isEmpty()) attachFolder_ = toSjis(folder);
  }
  QDialog::accept();
}

mailflow::ImportRequest ImportDialog::request() const {
  mailflow::ImportRequest request;
  if (const QListWidgetItem* current = kinds_->currentItem())
    request.kind = static_cast<import::MailerKind>(current->data(Qt::UserRole).toInt());
  request.source = toSjis(source_->text().trimmed());
  request.tray = tray_;
  request.cabinet = cabinet_;
  request.period = period_->checkedId();
  request.attachFolder = attachFolder_;
  return request;
}

}  // namespace zorvik::ui
