// What the text view shows of a mail: quote lines, the header rows, the
// body's tags with their attachment files, where every line goes, and how
// a line is cut into runs for drawing.
#include "view/MailTextContent.h"

#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/TrayAttachments.h"
#include "support/SearchStore.h"
#include "support/TestEnvironment.h"
#include "view/MailTextLayout.h"
#include "view/QuoteLine.h"
#include "view/TextRuns.h"

namespace zorvik::view {
namespace {

std::string sjis(const char* utf8) { return platform::utf8ToSjis(utf8); }

TEST(QuoteLine, AGreaterThanBeforeAnyLessThanThatIsNoArrowMakesAQuote) {
  const struct {
    const char* line;
    bool quote;
  } cases[] = {
      {"> 引用です", true},       {">>二重", true},          {"  > indented", true},
      {"A -> B では > が引用", true}, {"A -> B => C", false},  {"<html> > x", false},
      {"a < b > c", false},      {"", false},               {"全角＞は引用でない", false},
      {"=>", false},             {">", true},               {"x>", true},
  };
  for (const auto& test : cases) EXPECT_EQ(QuoteLine::is(sjis(test.line)), test.quote) << test.line;
}

class StoredMail : public ::testing::Test {
protected:
  StoredMail() {
    store_.root = scratch_.path();
    store_.topCabinet = "Top";
    platform::makeDirectories(store_.topCabinetPath());
  }

  // A mail with a To list of two, a Cc, an attachment that exists and one
  // that does not, a quote and a link.
  std::uint32_t storeSample(const std::string& tray) {
    const std::string folder = platform::joinPath(store::TrayAttachments::root(store_, sjis(tray.c_str())), "1261207.000");
    platform::makeDirectories(folder);
    platform::writeFileAtomically(platform::joinPath(folder, sjis("見積書.pdf")), "%PDF");
    test::TestMail mail;
    mail.subject = "見積のご送付";
    mail.from = "山田 <yamada@example.jp>";
    mail.to = "a@example.jp, b@example.jp";
    mail.extraHeader = {"Cc: c@example.jp", "Date: Mon, 7 Dec 2026 10:00:00 +0900", "X-Zorvik-AttachDir: 1261207.000"};
    mail.body = {"お世話になります。", "> 前回の件", "@#MIME \"%:見積書.pdf\"", "@#MIME \"%:無い.pdf\"",
                 "@#MIME \"%:../../etc/passwd\"", "詳細は\thttp://example.jp/ を"};
    return test::storeMail(store_, tray, mail);
  }

  test::ScratchDir scratch_;
  store::StoreLocation store_;
};

TEST_F(StoredMail, HeaderRowsComeInTheirOrderAndOnlyExistingAttachmentsBecomeTags) {
  const std::uint32_t index = storeSample("受信");
  const std::uint32_t link = test::storeLink(store_, "検索結果", "受信", index);

  const auto content = MailTextContent::load(store_, sjis("受信"), index, 9);
  ASSERT_TRUE(content);
  std::vector<std::string> rows;
  for (const HeaderRow& row : content->rows()) rows.push_back(platform::sjisToUtf8(row.title + ":" + row.value));
  EXPECT_EQ(rows, (std::vector<std::string>{"件名:見積のご送付", "From:山田 <yamada@example.jp>", "To:a@example.jp",
                                            "To:b@example.jp", "Cc:c@example.jp", "送信:2026/12/07 10:00:00"}));
  EXPECT_EQ(platform::sjisToUtf8(content->subject()), "見積のご送付");

  const auto& lines = content->lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_TRUE(lines[1].quote);
  EXPECT_TRUE(lines[2].hasIcon());
  EXPECT_EQ(platform::fileNameOf(lines[2].file), sjis("見積書.pdf"));
  for (std::size_t missing : {3u, 4u}) {
    EXPECT_FALSE(lines[missing].hasIcon()) << missing;
    EXPECT_TRUE(lines[missing].tags.empty()) << missing;
  }
  ASSERT_EQ(lines[5].tags.size(), 1u);
  EXPECT_EQ(lines[5].tags[0].kind, TagKind::Http);

  const auto linked = MailTextContent::load(store_, sjis("検索結果"), link, 9);
  ASSERT_TRUE(linked);
  EXPECT_EQ(linked->rows().front().title, "LINK");
  EXPECT_EQ(linked->rows().front().value, sjis("受信"));
  EXPECT_TRUE(linked->lines()[2].hasIcon()) << "a link finds the attachments of the mail it points at";
  EXPECT_EQ(linked->home(), std::make_pair(sjis("受信"), index));

  EXPECT_FALSE(MailTextContent::load(store_, sjis("受信"), index + 5, 9));
  EXPECT_FALSE(MailTextContent::cabinetTitle(sjis("仕事")).hasHeader());
  EXPECT_EQ(MailTextContent::trayTitle(sjis("受信")).lines()[0].text, sjis("トレイ名 : 受信"));
}

TEST_F(StoredMail, LayoutPutsRowsSeparatorAndLinesWhereTheSettingsSayAndFindsThemByHeight) {
  const auto content = MailTextContent::load(store_, sjis("受信"), storeSample("受信"), 9);
  ASSERT_TRUE(content);
  TextMetrics metrics;  // line 16 + spacing 2, top margin 5, icon 20, separator 5 after a gap of 6
  const MailTextLayout layout(*content, metrics);
  EXPECT_EQ(layout.rowTop(0), 5);
  EXPECT_EQ(layout.rowTop(5), 5 + 5 * 18);
  EXPECT_EQ(layout.separatorTop(), 5 + 6 * 18 + 6);
  const int bodyTop = layout.separatorTop() + 5 + 6;
  EXPECT_EQ(layout.lineTop(0), bodyTop);
  EXPECT_EQ(layout.lineHeight(1), 18);
  EXPECT_EQ(layout.lineHeight(2), 22) << "the attachment line is as high as its icon";
  EXPECT_EQ(layout.lineHeight(3), 18) << "a missing attachment gets no icon";
  EXPECT_EQ(layout.height(), bodyTop + 5 * 18 + 22 + 5);

  EXPECT_EQ(layout.firstLineBelow(0), 0u);
  EXPECT_EQ(layout.firstLineBelow(bodyTop + 18), 1u);
  EXPECT_EQ(layout.firstLineBelow(bodyTop + 18 + 17), 1u);
  EXPECT_EQ(layout.firstLineBelow(layout.height()), 6u);
  EXPECT_EQ(layout.lineAt(bodyTop + 2 * 18 + 21), 2u);
  EXPECT_EQ(layout.lineAt(bodyTop - 1), std::nullopt);

  const MailTextLayout title(MailTextContent::trayTitle("x"), metrics);
  EXPECT_EQ(title.lineTop(0), 5) << "a title line has no header above it";
}

TEST(TextRuns, CutALineAtTagsAndTabsAndBlankTheShownAttachmentsMark) {
  BodyLine line{sjis("> a@b.co\tx"), {}, true, {}};
  line.tags = TagScanner::scan(line.text);
  EXPECT_EQ(TextRuns::of(line), (std::vector<TextRun>{{0, 2, TextStyle::Quote, false, false},
                                                      {2, 6, TextStyle::MailAddress, false, false},
                                                      {8, 1, TextStyle::Quote, true, false},
                                                      {9, 1, TextStyle::Quote, false, false}}));
  BodyLine attachment{"@#MIME \"a.pdf\"", {}, false, "/tmp/a.pdf"};
  attachment.tags = TagScanner::scan(attachment.text);
  EXPECT_EQ(TextRuns::of(attachment), (std::vector<TextRun>{{0, 2, TextStyle::Attachment, false, true},
                                                            {2, 12, TextStyle::Attachment, false, false}}));
}

}  // namespace
}  // namespace zorvik::view
