#include "ui/MailTextPane.h"

#include <QFontDatabase>
#include <QScrollBar>

#include "store/TrayFile.h"
#include "ui/QtText.h"

namespace zorvik::ui {

MailTextPane::MailTextPane(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QFont font("Noto Sans Mono CJK JP");
  font.setStyleHint(QFont::TypeWriter);
  setFont(font);
}

bool MailTextPane::showMail(const store::StoreLocation& store, const std::string& tray, std::uint32_t index) {
  const store::TrayFile file(store, tray);
  const auto header = file.headerLines(index);
  auto body = file.bodyReader(index);
  if (!header || !body) {
    clearMail();
    return false;
  }
  std::string text = *header;
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
  text += "\n\n";
  std::string line;
  while (body->next(line)) {
    text += line;
    text += '\n';
  }
  setPlainText(fromSjis(text));
  shown_ = std::make_pair(tray, index);
  return true;
}

void MailTextPane::showTitle(const QString& title) {
  setPlainText(title);
  shown_.reset();
}

void MailTextPane::clearMail() {
  clear();
  shown_.reset();
}

bool MailTextPane::atEnd() const {
  const QScrollBar* bar = verticalScrollBar();
  return bar->value() >= bar->maximum();
}

void MailTextPane::pageDown() {
  QScrollBar* bar = verticalScrollBar();
  // The plain text view scrolls by whole lines: the new top is a line start.
  bar->setValue(std::min(bar->maximum(), bar->value() + std::max(1, bar->pageStep() - 1)));
}

}  // namespace zorvik::ui
