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
/// Lines wrap on screen at item 520 half-width columns; text() breaks them
/// there too (never inside a double-byte character), so what is stored is
/// what was seen. Dropped or pasted files are not text: filesDropped()
/// hands them to the window's attachment list.
#pragma once

#include <QTextEdit>
#include <QStringList>
#include <QTextCharFormat>

#include <memory>
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
  /// `typed` is locked. Clears the undo history.
  void load(const std::vector<std::string>& lines, const std::vector<bool>& typed);
  /// The text as stored (Shift_JIS, LF between lines, wrapped lines broken).
  std::string storedText() const;

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

  view::MacroTable table_;
  std::unique_ptr<DocumentBuffer> buffer_;
  std::unique_ptr<view::EditGate> gate_;
  std::unique_ptr<view::EditorMacros> macros_;
  KeyMacroFilter* keys_ = nullptr;
  bool lockLoaded_ = true;
  int columns_ = 70;
  QColor typedColor_, lockedColor_;
};

}  // namespace zorvik::ui
