#include "ui/QtReporter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "core/MessageFormat.h"
#include "core/MessageNumber.h"
#include "core/Messages.h"
#include "ui/GuiThread.h"
#include "ui/LowDiskSpaceDialog.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {
namespace {

using core::MessageKind;

QMessageBox::Icon iconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Question: return QMessageBox::Question;
    case MessageKind::Information: return QMessageBox::Information;
    case MessageKind::Bug: return QMessageBox::Warning;
    case MessageKind::Error:
    case MessageKind::Fatal: break;
  }
  return QMessageBox::Critical;
}

QString answerWord(MessageKind kind, bool answer) {
  if (kind != MessageKind::Question) return QStringLiteral("ok");
  return answer ? QStringLiteral("yes") : QStringLiteral("no");
}

}  // namespace

std::unique_ptr<QMessageBox> QtReporter::makeBox(MessageKind kind, const QString& caption, const QString& text,
                                                 QWidget* parent) {
  // Buttons of our own: the standard ones carry the style's icons, which
  // none of the other dialogs' buttons have.
  auto box = std::make_unique<QMessageBox>(iconOf(kind), caption, text, QMessageBox::NoButton, parent);
  if (kind == MessageKind::Question) {
    QPushButton* const yes = box->addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    box->setEscapeButton(box->addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole));
    box->setDefaultButton(yes);
  } else {
    box->setEscapeButton(box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
  }
  return box;
}

QString QtReporter::shownText(MessageKind kind, const std::string& text) {
  if (kind == MessageKind::Fatal || text.size() <= core::Messages::kTextLimit) return fromSjis(text);
  return fromSjis(core::cutSjis(text, core::Messages::kTextLimit));
}

std::optional<bool> QtReporter::presetAnswer() {
  const QString value = qEnvironmentVariable("ZORVIK_ANSWER").trimmed().toLower();
  if (value == QStringLiteral("yes")) return true;
  if (value == QStringLiteral("no")) return false;
  return std::nullopt;
}

bool QtReporter::show(MessageKind kind, const std::string& caption, const std::string& text) {
  return onGuiThread([&] { return showHere(kind, caption, text); });
}

bool QtReporter::showHere(MessageKind kind, const std::string& caption, const std::string& text) {
  const int number = core::UnattendedAnswer::numberOf(caption);
  const QString shownCaption = fromSjis(caption);
  const QString shown = shownText(kind, text);
  bool answer = false;
  if (const auto preset = presetAnswer()) {
    answer = unattended_(kind, caption, *preset);
  } else if (kind == MessageKind::Question && number == core::numberOf(core::MessageNumber::LowDiskSpace)) {
    answer = LowDiskSpaceDialog::ask(shown, owner_ ? owner_.data() : QApplication::activeWindow());
  } else {
    const auto box = makeBox(kind, shownCaption, shown, owner_ ? owner_.data() : QApplication::activeWindow());
    box->exec();
    answer = box->clickedButton() && box->buttonRole(box->clickedButton()) == QMessageBox::YesRole;
  }
  UiLog::global().messageBox(number, shownCaption, shown, answerWord(kind, answer));
  return answer;
}

}  // namespace zorvik::ui
