#include "ui/ComposeEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "core/SjisText.h"
#include "message/TagCommand.h"
#include "ui/AttachmentObject.h"
#include "ui/KeyMacroFilter.h"
#include "ui/QtText.h"
#include "ui/TagHighlighter.h"
#include "view/KeyDefinition.h"
#include "view/TagScanner.h"

namespace zorvik::ui {

namespace item = core::item;

namespace {

// The character properties that mark locked text, and text loaded from the
// draft (locked or not) rather than typed.
constexpr int kLockedProperty = QTextFormat::UserProperty + 1;
constexpr int kLoadedProperty = QTextFormat::UserProperty + 2;
constexpr char16_t kObjectCharacter = 0xFFFC;

QString qt(const std::u16string& text) { return QString::fromStdU16String(text); }
std::u16string std16(const QString& text) { return text.toStdU16String(); }

// Keys that only move the caret or the view; the widget's own handling is kept.
bool isNavigation(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Home:
    case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown: return true;
    default: return event.matches(QKeySequence::SelectAll) || event.matches(QKeySequence::Copy);
  }
}

// A line without loaded text in it was typed (an empty line counts too).
bool isTyped(const QTextBlock& block) {
  for (auto it = block.begin(); !it.atEnd(); ++it)
    if (it.fragment().charFormat().boolProperty(kLoadedProperty)) return false;
  return true;
}

// The file an attachment line names; none for any other line.
std::optional<std::string> attachedFile(const std::string& line) {
  if (line.rfind(message::TagCommand::kMime, 0) != 0) return std::nullopt;
  const auto tags = view::TagScanner::scan(line);
  if (tags.empty() || tags.front().kind != view::TagKind::MimeLine) return std::nullopt;
  return tags.front().reference;
}

std::string attachmentLine(const QString& path) {
  return std::string(message::TagCommand::kMime) + "\"" + toSjis(path) + "\"\n";
}

}  // namespace

// --- The edit buffer over the document -------------------------------------

class ComposeEditor::DocumentBuffer final : public view::EditBuffer {
public:
  explicit DocumentBuffer(ComposeEditor& editor) : editor_(editor) {}

  std::u16string text() const override { return std16(editor_.toPlainText()); }
  int size() const override { return editor_.document()->characterCount() - 1; }
  char16_t at(int pos) const override {
    if (pos < 0 || pos >= size()) return 0;
    const QChar c = editor_.document()->characterAt(pos);
    return c == QChar::ParagraphSeparator ? u'\n' : c.unicode();
  }
  bool locked(int pos) const override {
    QTextCursor cursor(editor_.document());
    cursor.setPosition(pos + 1);
    return cursor.charFormat().boolProperty(kLockedProperty);
  }
  void replace(int from, int to, const std::u16string& text, bool lock) override {
    QTextCursor cursor(editor_.document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    editor_.insertRun(cursor, text, lock);
    editor_.indentLines(from, cursor.position());
    cursor.endEditBlock();
    // Typing continues in the typed format, whatever the caret sat beside.
    editor_.setCurrentCharFormat(editor_.formatOf(false));
  }
  int caret() const override { return editor_.textCursor().position(); }
  int anchor() const override { return editor_.textCursor().anchor(); }
  void setCaret(int pos, int anchor) override {
    QTextCursor cursor = editor_.textCursor();
    cursor.setPosition(std::clamp(anchor < 0 ? pos : anchor, 0, size()));
    cursor.setPosition(std::clamp(pos, 0, size()), QTextCursor::KeepAnchor);
    editor_.setTextCursor(cursor);
  }
  void undo() override { editor_.undo(); }
  int pageLines() const override {
    return std::max(1, editor_.viewport()->height() / std::max(1, editor_.fontMetrics().lineSpacing()) - 1);
  }
  void scroll(int lines) override {
    QScrollBar* bar = editor_.verticalScrollBar();
    bar->setValue(bar->value() + lines);
  }
  std::u16string clipboard() const override { return std16(QApplication::clipboard()->text()); }
  void setClipboard(const std::u16string& text) override { QApplication::clipboard()->setText(qt(text)); }

private:
  ComposeEditor& editor_;
};

QTextCharFormat ComposeEditor::formatOf(bool lock) const {
  QTextCharFormat format;
  format.setProperty(kLockedProperty, lock);
  format.setProperty(kLoadedProperty, loading_);
  format.setForeground(lock ? lockedColor_ : typedColor_);
  return format;
}

void ComposeEditor::insertRun(QTextCursor& cursor, const std::u16string& text, bool lock) {
  std::u16string run;
  const auto flush = [&] {
    if (!run.empty()) cursor.insertText(qt(run), formatOf(lock));
    run.clear();
  };
  for (const char16_t c : text) {
    if (c != kObjectCharacter) {
      run += c;
      continue;
    }
    flush();
    // An object character without its file (one taken back from the erase
    // buffer) has nothing to show: it is left out.
    if (pendingObjects_.isEmpty()) continue;
    QTextCharFormat object = formatOf(false);
    object.merge(AttachmentObject::format(pendingObjects_.takeFirst()));
    cursor.insertText(QString(QChar(kObjectCharacter)), object);
  }
  flush();
}

int ComposeEditor::indentWidth() const { return fontMetrics().horizontalAdvance(QLatin1Char('0')) * leftIndent_; }

void ComposeEditor::indentLines(int from, int to) {
  const qreal width = indentWidth();
  for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
       block = block.next()) {
    const qreal margin = isTyped(block) ? width : 0;
    if (block.blockFormat().leftMargin() == margin) continue;
    QTextBlockFormat format = block.blockFormat();
    format.setLeftMargin(margin);
    QTextCursor(block).setBlockFormat(format);
  }
}

bool ComposeEditor::isTypedLine(int block) const {
  const QTextBlock found = document()->findBlockByNumber(block);
  return found.isValid() && isTyped(found);
}

ComposeEditor::ComposeEditor(const core::SettingsFile& settings, QWidget* parent)
    : QTextEdit(parent),
      table_(view::MacroTable::editor()),
      buffer_(std::make_unique<DocumentBuffer>(*this)),
      gate_(std::make_unique<view::EditGate>(*buffer_)),
      macros_(std::make_unique<view::EditorMacros>(*buffer_, *gate_)) {
  view::parseKeyDefinition(settings.text(item::kEditorKeys), table_);
  keys_ = new KeyMacroFilter(table_, this);
  installEventFilter(keys_);
  connect(keys_, &KeyMacroFilter::macro, this, [this](const QString& name) { runMacro(name); });

  lockLoaded_ = settings.flag(item::kEditorLockLoaded);
  embedFiles_ = !settings.flag(item::kEditorDropList);
  columns_ = std::max(20, static_cast<int>(settings.number(item::kEditorColumns)));
  leftIndent_ = std::clamp(static_cast<int>(settings.number(item::kEditorLeftIndent)), 0, columns_ - 10);
  typedColor_ = fromColorRef(settings.number(item::kEditorTextColour));
  lockedColor_ = fromColorRef(settings.number(item::kEditorLockedColour));
  QPalette colours = palette();
  colours.setColor(QPalette::Base, fromColorRef(settings.number(item::kEditorBackgroundColour)));
  colours.setColor(QPalette::Text, typedColor_);
  setPalette(colours);

  QFont font(fromSjis(settings.text(item::kEditorFontName)));
  font.setStyleHint(QFont::Monospace);
  font.setFamilies({font.family(), "Noto Sans Mono CJK JP", "Noto Sans CJK JP", "monospace"});
  font.setPixelSize(std::max(8, static_cast<int>(settings.number(item::kEditorFontHeight))));
  font.setWeight(settings.number(item::kEditorFontWeight) >= 700 ? QFont::Bold : QFont::Normal);
  setFont(font);
  setAcceptRichText(false);
  setWordWrapMode(QTextOption::WrapAnywhere);
  setLineWrapMode(QTextEdit::FixedPixelWidth);
  applyWrapWidth();
  setAttribute(Qt::WA_InputMethodEnabled);
  new TagHighlighter(document(), fromColorRef(settings.number(item::kEditorTagColour)));
  AttachmentObject::install(document());
  opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

ComposeEditor::~ComposeEditor() = default;

void ComposeEditor::applyWrapWidth() {
  setLineWrapColumnOrWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * columns_ + 4);
}

void ComposeEditor::resizeEvent(QResizeEvent* event) {
  QTextEdit::resizeEvent(event);
  applyWrapWidth();
}

// --- Loading and storing ---------------------------------------------------

void ComposeEditor::load(const std::vector<std::string>& lines, const std::vector<bool>& typed) {
  clear();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool typedLine = i < typed.size() && typed[i];
    std::string line = lines[i];
    // The left indent of a typed line was stored as spaces; it shows as a margin.
    if (typedLine) line.erase(0, std::min(line.find_first_not_of(' '), static_cast<std::size_t>(leftIndent_)));
    loading_ = !typedLine;
    if (i > 0) buffer_->replace(buffer_->size(), buffer_->size(), u"\n", false);
    const auto file = embedFiles_ ? attachedFile(line) : std::nullopt;
    if (file) pendingObjects_ << fromSjis(*file);
    const bool lock = lockLoaded_ && !line.empty() && !typedLine && !file;
    buffer_->replace(buffer_->size(), buffer_->size(), file ? std::u16string(1, kObjectCharacter) : std16(fromSjis(line)),
                     lock);
  }
  loading_ = false;
  pendingObjects_.clear();
  setCurrentCharFormat(formatOf(false));
  document()->clearUndoRedoStacks();
  buffer_->setCaret(0, -1);
}

std::string ComposeEditor::storedText() const {
  std::string out;
  const auto addLine = [&](const QString& text, bool typed) {
    const std::string line = toSjis(text);
    // Tag lines ("@#MIME ...") are commands, never broken nor indented.
    if (line.rfind("@#", 0) == 0) {
      out += line + "\n";
      return;
    }
    const int indent = typed && !line.empty() ? leftIndent_ : 0;
    const auto pieces = core::breakSjis(line, static_cast<std::size_t>(columns_ - indent));
    if (pieces.empty()) out += "\n";
    for (const std::string_view piece : pieces) out.append(static_cast<std::size_t>(indent), ' ').append(piece).append("\n");
  };
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    const bool typed = isTyped(block);
    QString text;
    bool objects = false;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const auto path = AttachmentObject::pathOf(fragment.charFormat());
      if (!path) {
        text += fragment.text();
        continue;
      }
      // An object is a line of its own, whatever stands beside it.
      if (!text.isEmpty()) addLine(text, typed);
      text.clear();
      for (int n = 0; n < fragment.length(); ++n) out += attachmentLine(*path);
      objects = true;
    }
    if (!text.isEmpty() || !objects) addLine(text, typed);
  }
  // The document always ends with a block; a text ending in a line break
  // shows as an empty last block, which is no line of its own.
  if (!document()->isEmpty() && document()->lastBlock().text().isEmpty() && !out.empty()) out.pop_back();
  if (document()->isEmpty()) out.clear();
  return out;
}

// --- Embedded attachments -------------------------------------------------

bool ComposeEditor::insertAttachments(const QStringList& paths) {
  if (paths.isEmpty()) return true;
  const QTextCursor cursor = textCursor();
  std::u16string text;
  if (!cursor.atBlockStart()) text += u'\n';
  for (qsizetype i = 0; i < paths.size(); ++i) {
    if (i > 0) text += u'\n';
    text += kObjectCharacter;
    pendingObjects_ << QFileInfo(paths[i]).absoluteFilePath();
  }
  // What follows starts on the next line: the line's rest, or a new one at the end.
  if (!cursor.atBlockEnd() || !cursor.block().next().isValid()) text += u'\n';
  const bool inserted = gate_->type(text);
  pendingObjects_.clear();
  return inserted;
}

QStringList ComposeEditor::attachments() const {
  QStringList paths;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it)
      if (const auto path = AttachmentObject::pathOf(it.fragment().charFormat()))
        for (int n = 0; n < it.fragment().length(); ++n) paths << *path;
  return paths;
}

std::optional<QString> ComposeEditor::attachmentAt(int pos) const {
  if (pos < 0 || pos >= buffer_->size()) return std::nullopt;
  QTextCursor cursor(document());
  cursor.setPosition(pos + 1);  // the format of the character before the cursor
  return AttachmentObject::pathOf(cursor.charFormat());
}

bool ComposeEditor::removeAttachment(int pos) {
  if (!attachmentAt(pos)) return false;
  // Its line goes with it when it stands alone there.
  const QTextBlock block = document()->findBlock(pos);
  if (block.length() == 2) {
    const bool last = !block.next().isValid();
    if (last && pos > 0 && gate_->change(pos - 1, pos + 1, u"")) return true;
    if (!last && gate_->change(pos, pos + 1 + 1, u"")) return true;
  }
  return gate_->change(pos, pos + 1, u"");
}

bool ComposeEditor::openAttachment(int pos) {
  const auto path = attachmentAt(pos);
  if (!path) return false;
  if (opener_(QUrl::fromLocalFile(*path))) return true;
  QApplication::beep();
  return false;
}

bool ComposeEditor::objectMenu(QContextMenuEvent* event) {
  // The object under the pointer, or just left of it (a click on its right half).
  int pos = cursorForPosition(event->pos()).position();
  if (!attachmentAt(pos)) --pos;
  if (!attachmentAt(pos)) return false;
  QMenu menu(this);
  menu.addAction(QString::fromUtf8("開く(&O)"), this, [this, pos] { openAttachment(pos); });
  menu.addAction(QString::fromUtf8("削除(&D)"), this, [this, pos] { removeAttachment(pos); });
  menu.exec(event->globalPos());
  return true;
}

// --- Events: every change through the gate ---------------------------------

bool ComposeEditor::runMacro(const QString& name) { return macros_->run(name.toStdString()); }

bool ComposeEditor::typeText(const QString& text) {
  QString plain = text;
  // An object character copied from the text carries no file: not typed.
  plain.replace(QChar::ParagraphSeparator, u'\n').replace(u'\r', QString()).remove(QChar(kObjectCharacter));
  return macros_->type(std16(plain));
}

bool ComposeEditor::editKey(QKeyEvent* event) {
  if (event->matches(QKeySequence::Cut)) return runMacro("BFCT");
  if (event->matches(QKeySequence::Paste)) return runMacro("BFPS");
  if (event->matches(QKeySequence::Undo)) return runMacro("UNDO");
  if (event->matches(QKeySequence::Redo)) {
    redo();
    return true;
  }
  switch (event->key()) {
    case Qt::Key_Return: case Qt::Key_Enter: return runMacro("NEWL");
    case Qt::Key_Backspace: return runMacro("BSP1");
    case Qt::Key_Delete: return runMacro("DEL1");
    case Qt::Key_Tab: return runMacro("ITAB");
    default: break;
  }
  const QString text = event->text();
  if (text.isEmpty() || !text.at(0).isPrint() || (event->modifiers() & Qt::ControlModifier)) return false;
  typeText(text);
  return true;
}

void ComposeEditor::keyPressEvent(QKeyEvent* event) {
  if (isNavigation(*event)) {
    QTextEdit::keyPressEvent(event);
    return;
  }
  // Anything else that edits goes through the gate; other keys are dropped,
  // so no built-in shortcut of the widget can change the text unchecked.
  editKey(event);
  event->accept();
}

void ComposeEditor::inputMethodEvent(QInputMethodEvent* event) {
  const QTextCursor cursor = textCursor();
  if (!gate_->allows(cursor.anchor(), cursor.position(), u"x")) {
    // No preedit and no commit where typing is refused.
    QInputMethodEvent cleared;
    QTextEdit::inputMethodEvent(&cleared);
    event->accept();
    return;
  }
  if (!event->commitString().isEmpty()) {
    QInputMethodEvent cleared;
    QTextEdit::inputMethodEvent(&cleared);  // drop the preedit the commit replaces
    typeText(event->commitString());
  }
  QInputMethodEvent preedit(event->preeditString(), event->attributes());
  QTextEdit::inputMethodEvent(&preedit);
  event->accept();
}

bool ComposeEditor::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasUrls() || source->hasText();
}

void ComposeEditor::insertFromMimeData(const QMimeData* source) {
  if (source->hasUrls()) {
    QStringList files;
    for (const QUrl& url : source->urls())
      if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) files << url.toLocalFile();
    if (!files.isEmpty()) {
      if (!embedFiles_ || !insertAttachments(files)) emit filesDropped(files);
      return;
    }
  }
  if (source->hasText()) typeText(source->text());
}

void ComposeEditor::dropEvent(QDropEvent* event) {
  const QMimeData* data = event->mimeData();
  if (!data->hasUrls() || embedFiles_) setTextCursor(cursorForPosition(event->position().toPoint()));
  insertFromMimeData(data);
  // A copy, never a move: the source of a drag inside the editor is not
  // removed behind the gate's back.
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void ComposeEditor::contextMenuEvent(QContextMenuEvent* event) {
  if (objectMenu(event)) return;
  QMenu menu(this);
  const auto add = [&](const char* text, const char* macro) {
    menu.addAction(QString::fromUtf8(text), this, [this, macro] { runMacro(macro); });
  };
  // KRDXtext, then the commands of KRDXcmd.
  add("切り取り(&T)", "BFCT");
  add("コピー(&C)", "BFCP");
  add("貼り付け(&P)", "BFPS");
  menu.addSeparator();
  add("元に戻す(&U)", "UNDO");
  add("ファイルの先頭へ", "TOF");
  add("ファイルの最後へ", "EOF");
  add("前の編集位置へ", "PVED");
  QMenu* jump = menu.addMenu(QString::fromUtf8("タグへ移動"));
  QMenu* mark = menu.addMenu(QString::fromUtf8("タグ登録"));
  for (int i = 1; i <= 5; ++i) {
    const QString name = QString("TAG%1").arg(i);
    jump->addAction(name, this, [this, i] { runMacro(QString("JTG%1").arg(i)); });
    mark->addAction(name, this, [this, i] { runMacro(QString("STG%1").arg(i)); });
  }
  add("検索", "FDDN");
  add("大文字・小文字変換", "CHUL");
  add("行の複写", "DUPL");
  add("検索文字列の挿入", "PSSB");
  add("削除文字列の挿入", "UNER");
  add("行の削除", "DELL");
  add("行頭へ", "TOL");
  add("行末へ", "EOL");
  menu.exec(event->globalPos());
}

}  // namespace zorvik::ui
