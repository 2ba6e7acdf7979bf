#include "ui/PreSendCheckDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/QtReporter.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {

namespace {

QString kindText(compose::CharacterFinding::Kind kind) {
  switch (kind) {
    case compose::CharacterFinding::Kind::replaced: return QString::fromUtf8("届かない文字（〓になります）");
    case compose::CharacterFinding::Kind::windowsOnly: return QString::fromUtf8("機種依存文字");
    case compose::CharacterFinding::Kind::halfWidthKana: return QString::fromUtf8("半角カナ（全角で送信）");
  }
  return {};
}

QString placeText(const compose::CharacterFinding& finding) {
  return finding.line == 0 ? QString::fromUtf8("件名") : QString::fromUtf8("%1行").arg(finding.line);
}

}  // namespace

QString PreSendCheckDialog::describe(const compose::CharacterFinding& finding) {
  return QString("%1 %2: %3 %4")
      .arg(placeText(finding))
      .arg(QString::fromUtf8("%1桁").arg(finding.column))
      .arg(fromSjis(finding.character), kindText(finding.kind));
}

PreSendCheckDialog::PreSendCheckDialog(const std::vector<compose::CharacterFinding>& findings, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("送信前の文字チェック"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QString::fromUtf8("次の文字は書いたとおりには届きません。このまま送信しますか。"), this));
  auto* list = new QTreeWidget(this);
  list->setHeaderLabels({QString::fromUtf8("場所"), QString::fromUtf8("桁"), QString::fromUtf8("文字"),
                         QString::fromUtf8("届き方")});
  list->setRootIsDecorated(false);
  for (const auto& finding : findings)
    list->addTopLevelItem(new QTreeWidgetItem(
        {placeText(finding), QString::number(finding.column), fromSjis(finding.character), kindText(finding.kind)}));
  list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QString::fromUtf8("送信する(&S)"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QString::fromUtf8("本文に戻る(&B)"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(520, 300);
}

bool PreSendCheckDialog::confirm(const std::vector<compose::CharacterFinding>& findings, QWidget* parent) {
  QStringList lines;
  for (const auto& finding : findings) lines << describe(finding);
  bool send = false;
  if (const auto preset = QtReporter::presetAnswer()) {
    send = *preset;
  } else {
    PreSendCheckDialog dialog(findings, parent);
    UiLog::global().windowShown(dialog);
    send = dialog.exec() == QDialog::Accepted;
  }
  UiLog::global().messageBox(0, QString::fromUtf8("送信前の文字チェック"), lines.join('\n'),
                             send ? "send" : "back");
  return send;
}

}  // namespace zorvik::ui
