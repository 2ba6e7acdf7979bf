/// \file
/// The text pane of the compose window: a plain-text edit whose every
/// change goes through view::EditGate (typed keys, input-method commits,
/// paste, drop, cut, the macros of the key definitions of item 519), so
/// locked text, the lines loaded from the draft while item 525 is on,
/// refuses edits except at its line ends. Locked characters carry a
/// character property and are drawn in colour 523; typed ones in 522 on
/// background 521. Preedit text of an input method is shown only where
/// typing is allowed, so it never lands inside a quote.
///
/// Lines wrap on screen at item 520 half-width columns; storedText() breaks
/// them there too (never inside a double-byte character), so what is stored
/// is what was seen. Lines the user typed start at the left indent (item
/// 526 half-width columns): shown as a margin, stored as that many spaces,
/// which loading takes off the typed lines again. Tags are drawn in colour
/// 524 (TagHighlighter).
///
/// Attachment lines ("@#MIME "path"") are embedded objects (AttachmentObject)
/// while the drop list (item 527) is off: loaded, dropped or pasted files
/// show in the text as icons with their names, and are stored back as the
/// same lines; their context menu opens or deletes them. With the drop list
/// on, dropped or pasted files go to the window's attachment list
/// (filesDropped), as do files dropped where typing is refused.
#pragma once

#include <QStringList>
#include <QTextEdit>
#include <QUrl>
#include <QTextCharFormat>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "view/EditBuffer.h"
#include "view/EditGate.h"
#include "view/EditorMacros.h"
#include "view/MacroTable.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::ui {

class KeyMacroFilter;

class ComposeEditor : public QTextEdit {
  Q_OBJECT

public:
  explicit ComposeEditor(const core::SettingsFile& settings, QWidget* parent = nullptr);
  ~ComposeEditor() override;

  /// Shows `lines` (Shift_JIS); with locking on, each non-empty line not in
  /// `typed` is locked. Typed lines lose leading spaces up to the left
  /// indent. Clears the undo history.
  void load(const std::vector<std::string>& lines, const std::vector<bool>& typed);
  /// The text as stored (Shift_JIS, LF between lines, wrapped lines broken,
  /// typed lines indented, embedded attachments as their lines).
  std::string storedText() const;
  /// Embeds files (UTF-8 paths) at the caret, each on a line of its own;
  /// false (nothing changed) where typing is refused.
  bool insertAttachments(const QStringList& paths);
  /// The paths of the embedded attachments, in text order.
  QStringList attachments() const;
  /// The embedded attachment at `pos`; none when there is none.
  std::optional<QString> attachmentAt(int pos) const;
  /// Deletes the embedded attachment at `pos` (with its line when it
  /// stands alone there), through the gate.
  bool removeAttachment(int pos);
  /// Opens the embedded attachment at `pos` with the desktop's program.
  bool openAttachment(int pos);
  /// Whether line `block` (0-based) counts as typed: no loaded text in it.
  bool isTypedLine(int block) const;
  /// Replaces the desktop's "open" for embedded attachments (tests).
  void setOpener(std::function<bool(const QUrl&)> opener) { opener_ = std::move(opener); }

  /// Runs a macro of the editor table by name.
  bool runMacro(const QString& name);
  view::EditGate& gate() { return *gate_; }
  const view::EditorMacros& macros() const { return *macros_; }
  /// Whether the character at `pos` is locked.
  bool isLocked(int pos) const { return gate_->lockedAt(pos); }
  /// Half-width columns per line (item 520).
  int columns() const { return columns_; }

signals:
  void filesDropped(const QStringList& paths);

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void dropEvent(QDropEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  class DocumentBuffer;

  bool typeText(const QString& text);
  bool editKey(QKeyEvent* event);
  void applyWrapWidth();
  QTextCharFormat formatOf(bool lock) const;
  void insertRun(QTextCursor& cursor, const std::u16string& text, bool lock);
  void indentLines(int from, int to);
  int indentWidth() const;
  bool objectMenu(QContextMenuEvent* event);

  view::MacroTable table_;
  std::unique_ptr<DocumentBuffer> buffer_;
  std::unique_ptr<view::EditGate> gate_;
  std::unique_ptr<view::EditorMacros> macros_;
  KeyMacroFilter* keys_ = nullptr;
  bool lockLoaded_ = true;
  bool embedFiles_ = true;  ///< item 527 off: files become objects in the text
  bool loading_ = false;    ///< text inserted now is loaded, not typed
  int columns_ = 70;
  int leftIndent_ = 0;
  QColor typedColor_, lockedColor_;
  QStringList pendingObjects_;  ///< paths of the object characters being inserted
  std::function<bool(const QUrl&)> opener_;
};

}  // namespace zorvik::ui
