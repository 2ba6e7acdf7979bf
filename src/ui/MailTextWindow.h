/// \file
/// The separate text window: the text view in a window of its own with its
/// own menu: "保存(&S)..." (the mail as text), print and print preview,
/// copy and copy all, "▲(&P)" and "▼(&N)" (the previous and next mail of
/// the list), "返事(&R)" and "転送(&T)". The window keeps its own rectangle
/// (the layout values TVIEW_*), read and written by its owner.
///
/// Which mail is previous or next, saving and replying belong to the main
/// window; this window only says what the user asked for.
#pragma once

#include <QMainWindow>

namespace zorvik::core {
class SettingsFile;
class Messages;
}  // namespace zorvik::core

namespace zorvik::ui {

class MailPrinter;
class MailTextView;

class MailTextWindow : public QMainWindow {
  Q_OBJECT

public:
  /// `printer` outlives the window.
  MailTextWindow(const core::SettingsFile& settings, core::Messages& messages, MailPrinter& printer,
                 QWidget* parent = nullptr);

  MailTextView& view() const { return *view_; }
  /// Shows the window's title for the mail shown (its subject).
  void updateTitle();

signals:
  void saveRequested();
  void previousRequested();
  void nextRequested();
  void replyRequested();
  void forwardRequested();

private:
  void printPreview();

  MailTextView* view_;
  MailPrinter& printer_;
};

}  // namespace zorvik::ui
