/// \file
/// The compose window: one draft (new, reply, reply to the sender, forward,
/// addition, correction) in a header form, an address list, an attachment
/// list and the compose editor. Several may be open at once; each is a
/// top-level window of its own that deletes itself when closed.
///
/// "送信" stores the draft in the unsent tray through mailflow::DraftFlow,
/// whose checks come in their order (40501, 40599, 40502, 40503, 40504,
/// then question 40129); before that, the characters that would not arrive
/// as written are listed (PreSendCheckDialog) and the user may go back to
/// the text. Closing a window with content asks whether to keep the draft
/// in the drafts tray; "保存して終了" keeps it without asking, "保存せずに終了"
/// drops it. The replied mark of the originals is set by the store.
///
/// The external editor (ExternalEditor) can take the text over; the form,
/// the editor and the attachment list state live in view::ComposeForm.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "mailflow/DraftFlow.h"
#include "view/ComposeForm.h"
#include "view/LayoutValues.h"

class QAction;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTreeWidget;
class QLabel;
class QWidget;

namespace zorvik::addressbook {
class AddressCompleter;
class VCardAddressBook;
}  // namespace zorvik::addressbook

namespace zorvik::mailflow {
class Document;
}

namespace zorvik::ui {

class ComposeEditor;
class ExternalEditor;

struct ComposeOptions {
  view::WindowRect placement{100, 1, 638, 440};  ///< SENDD_*
  int editorHeight = 250;                        ///< MEDIT_H
  /// A yes/no question without a number (caption, text, Shift_JIS); empty:
  /// a message box (or ZORVIK_ANSWER).
  std::function<bool(const std::string& caption, const std::string& text)> ask;
  /// Whether characters that will not arrive as written may be sent
  /// (findings, Shift_JIS lines); empty: the check dialog asks.
  std::function<bool(const std::vector<std::string>& findings)> confirmCharacters;
};

class ComposeWindow : public QMainWindow {
  Q_OBJECT

public:
  ComposeWindow(mailflow::Document& document, mailflow::OpenDraft draft, ComposeOptions options,
                QWidget* parent = nullptr);
  ~ComposeWindow() override;

  /// "送信": stores in the unsent tray and closes; false when a check refused.
  bool send();
  /// "保存して終了": stores in the drafts tray and closes.
  bool keep();
  /// "保存せずに終了": closes, dropping the draft.
  void discard();

  ComposeEditor& editor() const { return *editor_; }
  QLineEdit& toField() const { return *to_; }
  QLineEdit& ccField() const { return *cc_; }
  QLineEdit& bccField() const { return *bcc_; }
  QLineEdit& subjectField() const { return *subject_; }
  const view::ComposeForm& form() const { return form_; }
  const mailflow::OpenDraft& draft() const { return draft_; }
  ExternalEditor& externalEditor() const { return *external_; }
  /// Adds files to the attachment list (dialog, drop or paste).
  void addAttachments(const QStringList& paths);
  /// "検索" on the address field with the focus (To when none has it):
  /// completes it from the address book, stepping through the choices.
  void completeAddress();
  /// "WAB登録": registers the first address of the To field.
  void registerAddress();
  /// "外部ｴﾃﾞｨﾀ": the text goes to the external editor, which hands it
  /// back on each save; the built-in editor is read-only meanwhile.
  void startExternalEditor();
  void setCcShown(bool shown);
  void setBccShown(bool shown);
  /// The text as it will be stored (Shift_JIS).
  std::string text() const;

signals:
  /// A draft was stored: in the unsent tray when `forSending`.
  void stored(bool forSending);
  /// The window closes; where it stood and its editor's height.
  void placed(const view::WindowRect& rect, int editorHeight);

protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  void buildForm(QWidget* top);
  void buildMenus();
  void loadText(const std::string& body);
  void showForm();
  void showAttachments();
  void readForm();
  bool store(bool forSending);
  bool confirmCharacters();
  bool askKeep();
  /// As the window closes unfinished: keeps the draft when the user asks
  /// to (false when it could not be stored), else drops it.
  bool settleDraft();
  QLineEdit* focusedAddressField() const;
  addressbook::VCardAddressBook* book();

  mailflow::Document& document_;
  mailflow::OpenDraft draft_;
  ComposeOptions options_;
  view::ComposeForm form_;
  bool done_ = false;  ///< stored or discarded: closing asks nothing

  QLineEdit* subject_ = nullptr;
  QLineEdit* keyword_ = nullptr;
  QLineEdit* to_ = nullptr;
  QLineEdit* cc_ = nullptr;
  QLineEdit* bcc_ = nullptr;
  QLabel* ccLabel_ = nullptr;
  QLabel* bccLabel_ = nullptr;
  QCheckBox* firstLine_ = nullptr;
  QCheckBox* noSignature_ = nullptr;
  QPushButton* height_ = nullptr;
  QWidget* keyRow_ = nullptr;
  QWidget* attachmentPane_ = nullptr;
  QTreeWidget* attachments_ = nullptr;
  QAction* showCc_ = nullptr;
  QAction* showBcc_ = nullptr;
  QSplitter* splitter_ = nullptr;
  ComposeEditor* editor_ = nullptr;
  ExternalEditor* external_ = nullptr;
  std::unique_ptr<addressbook::VCardAddressBook> book_;
  std::unique_ptr<addressbook::AddressCompleter> completer_;
  QPointer<QLineEdit> lastCompleted_;
};

}  // namespace zorvik::ui
