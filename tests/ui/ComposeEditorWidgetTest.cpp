// The compose editor widget alone, on default settings changed per case:
// the left indent (a margin on typed lines, spaces in the stored text, taken
// off again on loading), tags drawn in the tag colour, and attachment lines
// embedded as objects (shown, opened, deleted, dropped, stored back) or
// left to the window's attachment list.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "platform/TextEncoding.h"
#include "ui/ComposeEditor.h"
#include "ui/QtText.h"

namespace zorvik::ui {
namespace {

namespace item = core::item;

QString u(const char* utf8) { return QString::fromUtf8(utf8); }
std::string sjis(const char* utf8) { return platform::utf8ToSjis(utf8); }

std::vector<std::string> sjisLines(std::initializer_list<const char*> lines) {
  std::vector<std::string> out;
  for (const char* line : lines) out.push_back(sjis(line));
  return out;
}

class ComposeEditorWidgetTest : public ::testing::Test {
protected:
  ComposeEditor& editor() {
    if (!editor_) {
      editor_ = std::make_unique<ComposeEditor>(settings);
      editor_->resize(600, 300);
      editor_->show();
    }
    return *editor_;
  }
  QPoint pointAt(int pos) {
    QTextCursor cursor(editor().document());
    cursor.setPosition(pos);
    return editor().cursorRect(cursor).center();
  }
  // Drops a new file of that name (made in a scratch folder); its path.
  QString drop(const QString& name, QPoint at) {
    const QString file = scratch.filePath(name);
    QFile made(file);
    made.open(QIODevice::WriteOnly);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    // A drop goes where the drag entered.
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor().viewport(), &enter);
    QDropEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor().viewport(), &event);
    return file;
  }
  static void type(ComposeEditor& editor, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(&editor, &commit);
  }
  // The stored text (UTF-8) without the line end of its last line.
  std::string stored() {
    std::string text = platform::sjisToUtf8(editor().storedText());
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }

  QTemporaryDir scratch;
  core::SettingsFile settings;
  std::unique_ptr<ComposeEditor> editor_;
};

TEST_F(ComposeEditorWidgetTest, TypedLinesKeepTheLeftIndent) {
  struct Case {
    bool lockLoaded;
    int indent;
    std::vector<const char*> lines;
    std::vector<bool> typed;
    const char* shown;   // the text in the editor after loading
    const char* stored;  // stored again without an edit
  };
  const Case cases[] = {
      {true, 4, {"> 引用です", "    自分の文", "", "  半分", "      深い"}, {false, true, false, true, true},
       "> 引用です\n自分の文\n\n半分\n  深い", "> 引用です\n    自分の文\n\n    半分\n      深い"},
      {false, 4, {"  読み込んだ文", "    打った文"}, {false, true}, "  読み込んだ文\n打った文",
       "  読み込んだ文\n    打った文"},
      {true, 0, {"> a", "  b"}, {false, true}, "> a\n  b", "> a\n  b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    settings.setNumber(item::kEditorLockLoaded, c.lockLoaded);
    settings.setNumber(item::kEditorLeftIndent, c.indent);
    editor_.reset();
    std::vector<std::string> lines;
    for (const char* line : c.lines) lines.push_back(sjis(line));
    editor().load(lines, c.typed);
    EXPECT_EQ(editor().toPlainText(), u(c.shown));
    EXPECT_EQ(stored(), c.stored) << "a draft reopened stays as it was";
    for (std::size_t line = 0; line < c.lines.size(); ++line) {
      const qreal margin = editor().document()->findBlockByNumber(static_cast<int>(line)).blockFormat().leftMargin();
      // Empty lines too: what is typed there starts at the indent.
      EXPECT_EQ(margin > 0, c.indent > 0 && (c.typed[line] || !*c.lines[line])) << "line " << line;
    }
  }

  // A new line typed after a quote starts at the indent; a long one is broken
  // so that indent and text together fit the line width (item 520).
  settings.setNumber(item::kEditorLockLoaded, 1);
  settings.setNumber(item::kEditorLeftIndent, 4);
  settings.setNumber(item::kEditorColumns, 20);
  editor_.reset();
  editor().load(sjisLines({"> 引用"}), {false});
  editor().moveCursor(QTextCursor::End);
  QTest::keyClick(&editor(), Qt::Key_Return);
  type(editor(), u("abcdefghijklmnopqrstuvwxyz"));
  EXPECT_TRUE(editor().isTypedLine(1));
  EXPECT_GT(editor().document()->findBlockByNumber(1).blockFormat().leftMargin(), 0);
  EXPECT_EQ(editor().document()->findBlockByNumber(0).blockFormat().leftMargin(), 0);
  EXPECT_EQ(stored(), "> 引用\n    abcdefghijklmnop\n    qrstuvwxyz");
}

TEST_F(ComposeEditorWidgetTest, TagsAreDrawnInTheTagColour) {
  settings.setNumber(item::kEditorTagColour, 0x000000FF);  // a COLORREF: red
  struct Case {
    const char* line;
    int start;  // UTF-16 units; -1: no tag
    int length;
  };
  const Case cases[] = {
      {"資料は http://a.jp/x です", 4, 13},
      {"@#INCLUDE \"C:\\署名.txt\"", 0, 21},
      {"> 花子 <hanako@example.jp> 様", 6, 17},
      {"ただの文です。", -1, 0},
  };
  std::vector<std::string> lines;
  for (const Case& c : cases) lines.push_back(sjis(c.line));
  editor().load(lines, std::vector<bool>(lines.size(), false));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.line);
    const QTextBlock block = editor().document()->findBlockByNumber(static_cast<int>(i));
    const auto formats = block.layout()->formats();
    if (c.start < 0) {
      EXPECT_TRUE(formats.isEmpty());
      continue;
    }
    ASSERT_EQ(formats.size(), 1);
    EXPECT_EQ(formats.front().start, c.start);
    EXPECT_EQ(formats.front().length, c.length);
    EXPECT_EQ(formats.front().format.foreground().color(), QColor(255, 0, 0));
  }
  EXPECT_EQ(stored(), std::string(cases[0].line) + "\n" + cases[1].line + "\n" + cases[2].line + "\n" + cases[3].line)
      << "drawing only: the text is unchanged";
}

TEST_F(ComposeEditorWidgetTest, AttachmentLinesAreEmbeddedObjects) {
  editor().load(sjisLines({"本文です", "@#MIME \"/tmp/添付/資料.pdf\"", "> 引用"}), {true, false, false});
  EXPECT_EQ(editor().attachments(), QStringList{u("/tmp/添付/資料.pdf")});
  const int object = editor().toPlainText().indexOf(QChar(0xFFFC));
  ASSERT_EQ(object, 5);
  EXPECT_EQ(editor().attachmentAt(object), u("/tmp/添付/資料.pdf"));
  EXPECT_FALSE(editor().attachmentAt(0));
  EXPECT_EQ(stored(), "本文です\n@#MIME \"/tmp/添付/資料.pdf\"\n> 引用");

  // KRDXobj: open through the desktop, then delete with its line.
  QUrl opened;
  editor().setOpener([&opened](const QUrl& url) {
    opened = url;
    return true;
  });
  EXPECT_TRUE(editor().openAttachment(object));
  EXPECT_EQ(opened, QUrl::fromLocalFile(u("/tmp/添付/資料.pdf")));
  EXPECT_TRUE(editor().removeAttachment(object));
  EXPECT_EQ(stored(), "本文です\n> 引用");
  EXPECT_TRUE(editor().attachments().isEmpty());

  // A file dropped at the end of the typed line lands on a line of its own;
  // copied text holding the object does not bring a file with it.
  QTextCursor firstLineEnd(editor().document()->findBlockByNumber(0));
  firstLineEnd.movePosition(QTextCursor::EndOfBlock);
  const QString estimate = drop(u("見積.xls"), editor().cursorRect(firstLineEnd).center());
  EXPECT_EQ(stored(), "本文です\n@#MIME \"" + estimate.toStdString() + "\"\n> 引用");
  type(editor(), QString(QChar(0xFFFC)) + u("x"));
  EXPECT_EQ(editor().attachments().size(), 1);
}

TEST_F(ComposeEditorWidgetTest, WithTheDropListFilesGoToTheWindow) {
  settings.setNumber(item::kEditorDropList, 1);
  editor().load(sjisLines({"本文"}), {true});
  QSignalSpy files(&editor(), &ComposeEditor::filesDropped);
  const QString estimate = drop(u("見積.xls"), pointAt(1));
  ASSERT_EQ(files.count(), 1);
  EXPECT_EQ(files.front().front().toStringList(), QStringList{estimate});
  EXPECT_EQ(stored(), "本文");
}

TEST_F(ComposeEditorWidgetTest, AFileDroppedIntoAQuoteGoesToTheList) {
  editor().load(sjisLines({"> 引用の行です"}), {false});
  QSignalSpy files(&editor(), &ComposeEditor::filesDropped);
  drop(u("a.txt"), pointAt(3));
  ASSERT_EQ(files.count(), 1) << "refused in the quote, so not lost";
  EXPECT_TRUE(editor().attachments().isEmpty());
  EXPECT_EQ(stored(), "> 引用の行です");
}

}  // namespace
}  // namespace zorvik::ui
