#include "ui/SortingNotice.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include "ui/GuiThread.h"
#include "ui/QtReporter.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {
namespace {

const char* const kIgnoreAll = "ignoreAll";

}  // namespace

std::unique_ptr<QMessageBox> SortingNotice::makeBox(const QString& subject, const QString& tray, QWidget* parent) {
  const QString text = QStringLiteral("“%1”\n同じトレイ「%2」に振分けられました").arg(subject, tray);
  auto box = std::make_unique<QMessageBox>(QMessageBox::Information, QStringLiteral("振り分け"), text,
                                           QMessageBox::NoButton, parent);
  QPushButton* const ok = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box->addButton(QStringLiteral("すべて無視"), QMessageBox::RejectRole)->setObjectName(QString::fromLatin1(kIgnoreAll));
  box->setDefaultButton(ok);
  box->setEscapeButton(ok);
  return box;
}

QAbstractButton* SortingNotice::ignoreAllButton(const QMessageBox& box) {
  return box.findChild<QAbstractButton*>(QString::fromLatin1(kIgnoreAll));
}

bool SortingNotice::show(const std::string& subject, const std::string& tray, QWidget* parent) {
  const auto box = makeBox(fromSjis(subject), fromSjis(tray), parent);
  bool ignoreAll = false;
  if (!QtReporter::presetAnswer()) {
    box->exec();
    ignoreAll = box->clickedButton() == ignoreAllButton(*box);
  }
  UiLog::global().messageBox(0, box->windowTitle(), box->text(),
                             ignoreAll ? QStringLiteral("ignore") : QStringLiteral("ok"));
  return ignoreAll;
}

sorting::SortApplier::SameTrayNotice SortingNotice::notice(QWidget* parent) {
  return [owner = QPointer<QWidget>(parent)](const std::string& subject, const std::string& tray) {
    return onGuiThread([&] { return show(subject, tray, owner.data()); });
  };
}

}  // namespace zorvik::ui
