// The compose editor's rules over a plain text buffer: which changes the
// locked lines refuse, the erase and kill buffers, every macro of the
// editor table, undo past a refused edit; and the compose form's state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compose/DraftKind.h"
#include "platform/TextEncoding.h"
#include "view/ComposeForm.h"
#include "view/EditBuffer.h"
#include "view/EditGate.h"
#include "view/EditorMacros.h"
#include "view/MacroTable.h"

namespace zorvik::view {
namespace {

// A text with per-character locks, a caret, one clipboard and an undo stack.
class PlainBuffer : public EditBuffer {
public:
  std::u16string text() const override { return text_; }
  int size() const override { return static_cast<int>(text_.size()); }
  char16_t at(int pos) const override { return pos >= 0 && pos < size() ? text_[static_cast<std::size_t>(pos)] : 0; }
  bool locked(int pos) const override { return locks_.at(static_cast<std::size_t>(pos)); }
  void replace(int from, int to, const std::u16string& text, bool lock) override {
    undo_.push_back({text_, locks_, caret_});
    text_.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), text);
    locks_.erase(locks_.begin() + from, locks_.begin() + to);
    locks_.insert(locks_.begin() + from, text.size(), lock);
  }
  int caret() const override { return caret_; }
  int anchor() const override { return anchor_; }
  void setCaret(int pos, int anchor) override {
    caret_ = pos;
    anchor_ = anchor < 0 ? pos : anchor;
  }
  void undo() override {
    if (undo_.empty()) return;
    std::tie(text_, locks_, caret_) = undo_.back();
    anchor_ = caret_;
    undo_.pop_back();
  }
  int pageLines() const override { return 2; }
  void scroll(int lines) override { scrolled += lines; }
  std::u16string clipboard() const override { return clip; }
  void setClipboard(const std::u16string& text) override { clip = text; }

  // Loads `lines`; those starting with '>' are locked, as quotes are.
  void load(const std::vector<std::u16string>& lines) {
    text_.clear();
    locks_.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) replace(size(), size(), u"\n", false);
      replace(size(), size(), lines[i], !lines[i].empty() && lines[i][0] == u'>');
    }
    undo_.clear();
    setCaret(0, -1);
  }

  std::u16string clip;
  int scrolled = 0;

private:
  std::u16string text_;
  std::vector<bool> locks_;
  int caret_ = 0;
  int anchor_ = 0;
  std::vector<std::tuple<std::u16string, std::vector<bool>, int>> undo_;
};

class ComposeEditorTest : public ::testing::Test {
protected:
  void load(const std::vector<std::u16string>& lines, int caret = 0) {
    buffer.load(lines);
    buffer.setCaret(caret, -1);
  }
  void run(std::initializer_list<const char*> names) {
    for (const char* name : names) ASSERT_TRUE(macros.run(name)) << name;
  }

  PlainBuffer buffer;
  EditGate gate{buffer};
  EditorMacros macros{buffer, gate};
};

// "> 引用です\n本文\n> 二行目": 0-5 the quote, 6 its break, 7-8 typed, 9 break, 10-14 the second quote.
TEST_F(ComposeEditorTest, LockedLinesRefuseChangesButNotTheirEnds) {
  load({u"> 引用です", u"本文", u"> 二行目"});
  struct Case {
    int from, to;
    std::u16string text;
    bool accepted;
  };
  const Case cases[] = {
      {2, 2, u"x", false},   // inside a quote
      {0, 0, u"x", false},   // at its start
      {6, 6, u"追加", true},  // at the end of the locked line
      {15, 15, u"末", true},  // at the end of the text
      {7, 7, u"→", true},    // in typed text
      {6, 7, u"", false},    // the quote's line break (Backspace at the next line's start)
      {5, 6, u"", false},    // the quote's last character
      {7, 9, u"", true},     // the typed line
      {9, 10, u"", true},    // the break after the typed line
      {8, 9, u"x", true},    // replacing a typed character
      {8, 10, u"x", false},  // a replacement that would end inside the next quote
  };
  for (const Case& c : cases) {
    EXPECT_EQ(gate.allows(c.from, c.to, c.text), c.accepted) << c.from << "-" << c.to;
    EXPECT_EQ(gate.allowsInsertAt(c.from), c.from == 6 || c.from == 15 || (c.from >= 7 && c.from <= 9))
        << c.from;
  }
  // What is typed at a quote's end stays free; the quote stays locked.
  buffer.setCaret(6, -1);
  ASSERT_TRUE(macros.type(u"!"));
  EXPECT_FALSE(gate.lockedAt(6));
  EXPECT_TRUE(gate.lockedAt(5));
  EXPECT_EQ(buffer.text(), u"> 引用です!\n本文\n> 二行目");
}

TEST_F(ComposeEditorTest, EnterInsideAQuoteMovesToTheNextLine) {
  load({u"> 引用", u"次"}, 2);
  run({"NEWL"});
  EXPECT_EQ(buffer.text(), u"> 引用\n次");
  EXPECT_EQ(buffer.caret(), 5);
  run({"NEWL"});  // in typed text it splits
  EXPECT_EQ(buffer.text(), u"> 引用\n\n次");
}

TEST_F(ComposeEditorTest, EraseBufferGivesDeletedTextsBackNewestFirst) {
  load({u"alpha beta gamma"});
  run({"WDEL"});          // "alpha"
  buffer.setCaret(1, -1);  // before "beta"
  run({"WDEL"});          // "beta"
  EXPECT_EQ(buffer.text(), u"  gamma");
  run({"UNER", "UNER"});
  EXPECT_EQ(buffer.text(), u" betaalpha gamma");
  EXPECT_TRUE(gate.erased().empty());
  // A refused insertion keeps what the buffer holds.
  load({u"> q"}, 1);
  buffer.setCaret(3, -1);
  run({"BSP1"});  // refused: nothing erased
  EXPECT_TRUE(gate.erased().empty());
}

TEST_F(ComposeEditorTest, DeletionsByExtent) {
  struct Case {
    const char* macro;
    int caret;
    std::u16string left;
  };
  const Case cases[] = {
      {"DEL1", 1, u"一三\n四五六"}, {"BSP1", 1, u"二三\n四五六"}, {"DTOL", 6, u"一二三\n六"},
      {"DEOL", 5, u"一二三\n四"},   {"DELL", 1, u"四五六"},       {"DELL", 6, u"一二三\n"},
      {"WDEL", 4, u"一二三\n"},     {"DEL1", 7, u"一二三\n四五六"},
  };
  for (const Case& c : cases) {
    load({u"一二三", u"四五六"}, c.caret);
    run({c.macro});
    EXPECT_EQ(buffer.text(), c.left) << c.macro << " at " << c.caret;
  }
}

TEST_F(ComposeEditorTest, KillRunsGrowTheKillBufferAndTheClipboard) {
  load({u"abc", u"def", u"ghi"});
  run({"DELe", "DELe", "DELe"});
  EXPECT_EQ(macros.killBuffer(), u"abc\ndef");
  EXPECT_EQ(buffer.text(), u"\nghi");
  run({"CRT", "DELe"});  // another command ends the run
  EXPECT_EQ(macros.killBuffer(), u"ghi");
  run({"TOF", "BFPS"});
  EXPECT_EQ(buffer.text(), u"ghi\n");
}

TEST_F(ComposeEditorTest, UndoPassesOverARefusedEdit) {
  load({u"> 引用", u""}, 5);
  macros.type(u"返事");
  buffer.setCaret(5, -1);
  run({"BSP1"});  // into the quote: refused, no undo step
  EXPECT_EQ(buffer.text(), u"> 引用\n返事");
  run({"UNDO"});
  EXPECT_EQ(buffer.text(), u"> 引用\n");
}

TEST_F(ComposeEditorTest, CaretMovesTagsAndAnchor) {
  load({u"日本語のtext12", u"短", u"三行目です"}, 3);
  struct Case {
    const char* macro;
    int caret;
  };
  const Case cases[] = {{"WLT", 0}, {"WRT", 3}, {"WRT", 4}, {"WRT", 10}, {"CDN", 12}, {"CUP", 1}, {"EOL", 10},
                        {"TOL", 0}, {"GDN", 13}, {"EOF", 18}, {"TOF", 0}, {"CRT", 1},  {"CLT", 0}};
  buffer.setCaret(0, -1);
  for (const Case& c : cases) {
    run({c.macro});
    EXPECT_EQ(buffer.caret(), c.caret) << c.macro;
  }
  buffer.setCaret(4, -1);
  run({"STG3", "EOF", "JTG3"});
  EXPECT_EQ(buffer.caret(), 4);
  run({"BFMB", "EOL", "XTGS"});
  EXPECT_EQ(buffer.caret(), 4);
  EXPECT_EQ(buffer.anchor(), 10);
  run({"BFCP", "CAN"});
  EXPECT_EQ(buffer.clip, u"text12");
  EXPECT_EQ(buffer.anchor(), buffer.caret());
  EXPECT_EQ(macros.selectionAnchor(), -1);
  macros.type(u"X");
  run({"PVED", "TOF", "PVED"});
  EXPECT_EQ(buffer.caret(), 5);
  run({"SCRD", "SCRD", "SCRU"});
  EXPECT_EQ(buffer.scrolled, 1);
  EXPECT_EQ(buffer.caret(), 5);
}

TEST_F(ComposeEditorTest, SearchBufferAndItsFlags) {
  load({u"Mail mail mailbox", u"メール"}, 6);
  run({"YWSB"});
  EXPECT_EQ(macros.searchBuffer(), u"mail");
  buffer.setCaret(0, -1);
  run({"FDDN"});
  EXPECT_EQ(buffer.caret(), 5);
  run({"TGUL", "FDUP"});  // case-sensitive now: "Mail" no longer matches
  EXPECT_EQ(buffer.caret(), 5);
  run({"TGUL", "FDUP"});
  EXPECT_EQ(buffer.caret(), 0);
  run({"TGWD", "FDDN", "FDDN"});  // whole words: "mailbox" is skipped
  EXPECT_EQ(buffer.caret(), 5);
  buffer.setCaret(18, 21);
  run({"YBSB", "TOF", "PSSB"});
  EXPECT_EQ(buffer.text().substr(0, 4), u"メールM");
}

TEST_F(ComposeEditorTest, LineDuplicationCaseAndClipboard) {
  load({u"> 引用", u"ab"}, 1);
  run({"DUPL"});  // a quote's copy goes below it, free to edit
  EXPECT_EQ(buffer.text(), u"> 引用\n> 引用\nab");
  EXPECT_FALSE(gate.lockedAt(6));
  buffer.setCaret(10, -1);
  run({"CHUL", "CHUL"});
  EXPECT_EQ(buffer.text(), u"> 引用\n> 引用\nAB");
  buffer.setCaret(10, 12);
  run({"BFCT", "ITAB", "BFPC"});
  EXPECT_EQ(buffer.text(), u"> 引用\n> 引用\n\tAB");
  EXPECT_TRUE(buffer.clip.empty());
  buffer.setCaret(0, 3);
  run({"BFCT"});  // a cut of locked text is refused and copies nothing
  EXPECT_TRUE(buffer.clip.empty());
}

TEST_F(ComposeEditorTest, EveryMacroOfTheTableIsKnownAndTheInertOnesChangeNothing) {
  const MacroTable table = MacroTable::editor();
  EXPECT_EQ(table.size(), 61U);
  for (const Macro& macro : table.macros()) {
    load({u"abc def", u"> 引用"}, 2);
    EXPECT_TRUE(macros.run(macro.name)) << macro.name;
  }
  for (const char* inert : {"VSBR", "REPN", "REPP", "YBRP", "TGIN", "TGTB", "TGAI", "DBG", "NOP"}) {
    load({u"abc def"}, 2);
    run({inert});
    EXPECT_EQ(buffer.text(), u"abc def");
    EXPECT_EQ(buffer.caret(), 2);
  }
  EXPECT_FALSE(macros.run("NOSUCH"));
}

// --- The header form ------------------------------------------------------

std::string sjis(const char* utf8) { return platform::sjisLiteral(utf8); }

TEST(ComposeFormTest, TitlesByKind) {
  using compose::DraftKind;
  EXPECT_EQ(ComposeForm::title(DraftKind::New, false, sjis("受信箱")), sjis("新規 - 受信箱"));
  EXPECT_EQ(ComposeForm::title(DraftKind::ReplyAll, false, "x"), sjis("返信 - x"));
  EXPECT_EQ(ComposeForm::title(DraftKind::Reply, false, "x"), sjis("差出人のみに返信 - x"));
  EXPECT_EQ(ComposeForm::title(DraftKind::Forward, false, "x"), sjis("転送 - x"));
  EXPECT_EQ(ComposeForm::title(DraftKind::Addition, false, "x"), sjis("追記 - x"));
  EXPECT_EQ(ComposeForm::title(DraftKind::Copy, true, "x"), sjis("修正 + 追記 - x"));
}

TEST(ComposeFormTest, HeightCcBccAndTheCloseQuestion) {
  ComposeForm plain("", "", "", 0);
  EXPECT_EQ(plain.heightMode(), 0);
  EXPECT_FALSE(plain.ccShown());
  plain.requestBcc(true);
  EXPECT_TRUE(plain.bccShown());
  EXPECT_EQ(ComposeForm("", "c@x", "", 0).heightMode(), 1);
  EXPECT_EQ(ComposeForm("", "c@x", "b@x", 0).heightMode(), 2);
  ComposeForm tall("", "", "b@x", 3);
  EXPECT_TRUE(tall.bccShown());
  EXPECT_EQ(tall.heightMode(), 3);
  EXPECT_EQ(tall.heightButtonText(), sjis("△"));
  tall.toggleHeight();
  EXPECT_EQ(tall.heightMode(), 0);
  EXPECT_EQ(tall.heightButtonText(), sjis("▼"));

  EXPECT_FALSE(plain.needsCloseQuestion(sjis("あい\n")));  // two characters, four bytes and a line end
  EXPECT_TRUE(plain.needsCloseQuestion(sjis("あいう")));
  ComposeForm addressed("a@x", "", "", 0);
  EXPECT_TRUE(addressed.needsCloseQuestion(""));
  plain.subject = "s";
  EXPECT_TRUE(plain.needsCloseQuestion(""));
}

TEST(ComposeFormTest, AttachmentList) {
  ComposeForm form("", "", "", 0);
  EXPECT_EQ(form.attachmentDisplay, AttachmentDisplay::Off);
  EXPECT_TRUE(form.addAttachment({"/a", 10, 0}));
  EXPECT_EQ(form.attachmentDisplay, AttachmentDisplay::Details);  // shown once something is added
  EXPECT_FALSE(form.addAttachment({"/a", 10, 0}));
  form.addAttachment({"/b", 2048, 0});
  form.addAttachment({"/c", 1, 0});
  form.removeAttachments({2, 0, 2});
  EXPECT_EQ(form.attachmentPaths(), std::vector<std::string>{"/b"});
  EXPECT_EQ(ComposeForm::sizeText(1023), "1023");
  EXPECT_EQ(ComposeForm::sizeText(1025), "2KB");
}

}  // namespace
}  // namespace zorvik::view
