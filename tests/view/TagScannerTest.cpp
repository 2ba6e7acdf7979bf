// The tags of one line of mail text, and what their gestures act on.
#include "view/TagScanner.h"

#include <gtest/gtest.h>

#include "platform/TextEncoding.h"
#include "view/TagTarget.h"

namespace zorvik::view {
namespace {

struct Found {
  TagKind kind;
  std::string text;  // UTF-8
  bool operator==(const Found&) const = default;
};

void PrintTo(const Found& found, std::ostream* out) { *out << std::hex << int(found.kind) << ":" << found.text; }

std::vector<Found> tagsOf(const std::string& utf8) {
  const std::string line = platform::utf8ToSjis(utf8);
  std::vector<Found> found;
  for (const Tag& tag : TagScanner::scan(line))
    found.push_back({tag.kind, platform::sjisToUtf8(line.substr(tag.start, tag.length))});
  return found;
}

TEST(TagScanner, FindsAddressesUrlsAndPathsWhereJapaneseTextSurroundsThem) {
  using K = TagKind;
  const struct {
    const char* line;
    std::vector<Found> tags;
  } cases[] = {
      {"連絡は taro.yamada@example.co.jp まで", {{K::MailAddress, "taro.yamada@example.co.jp"}}},
      {"「taro@example.jp」へ。", {{K::MailAddress, "taro@example.jp"}}},
      {"宛先taro@example.jpです", {{K::MailAddress, "taro@example.jp"}}},
      {"mail me at a@example.jp.", {{K::MailAddress, "a@example.jp"}}},
      {"one letter a@b.c here", {}},
      {"two letters a@b.co here", {{K::MailAddress, "a@b.co"}}},
      {"no word before @example.jp", {}},
      {"詳細はhttp://www.example.co.jp/index.html。", {{K::Http, "http://www.example.co.jp/index.html"}}},
      {"(see https://example.jp/a?b=1&c=2)", {{K::Http, "https://example.jp/a?b=1&c=2"}}},
      {"wiki http://en.example.org/Foo_(bar) ok", {{K::Http, "http://en.example.org/Foo_(bar)"}}},
      {"xyzhttp://mid.example.jp/ word", {{K::Http, "http://mid.example.jp/"}}},
      {"http: alone, http:// and ftp:", {{K::Http, "http://"}}},
      {"get ftp://ftp.example.jp/pub/file.lzh, then", {{K::Ftp, "ftp://ftp.example.jp/pub/file.lzh"}}},
      {"共有は \\\\server\\資料\\議事録 です", {{K::NetworkPath, "\\\\server\\資料\\議事録"}}},
      {"「\\\\srv\\共有」を見て", {{K::NetworkPath, "\\\\srv\\共有"}}},
      {"word\\\\notapath", {{K::NetworkPath, "\\\\notapath"}}},
      {"\\\\ alone", {}},
      {"a@example.jp and http://x.jp/ and \\\\h\\s",
       {{K::MailAddress, "a@example.jp"}, {K::Http, "http://x.jp/"}, {K::NetworkPath, "\\\\h\\s"}}},
      {"表示@example.jp", {}},  // 表 ends in 0x5C and 示 in 0xA6: no word, no path
  };
  for (const auto& test : cases) EXPECT_EQ(tagsOf(test.line), test.tags) << test.line;
}

TEST(TagScanner, TagCommandLinesAreOneTagNamingTheirFile) {
  const struct {
    const char* line;
    TagKind kind;
    const char* reference;
  } cases[] = {
      {"@#MIME \"%:見積書 (第2版).pdf\"", TagKind::MimeLine, "%:見積書 (第2版).pdf"},
      {"@#UUENCODE   \"C:\\tmp\\a b.zip\" trailing", TagKind::UuencodeLine, "C:\\tmp\\a b.zip"},
      {"@#BINHEX plain name.hqx  ", TagKind::BinhexLine, "plain name.hqx"},
      {"@#INCLUDE \"unclosed name.txt", TagKind::IncludeLine, "unclosed name.txt"},
  };
  for (const auto& test : cases) {
    const std::string line = platform::utf8ToSjis(test.line);
    const auto tags = TagScanner::scan(line);
    ASSERT_EQ(tags.size(), 1u) << test.line;
    EXPECT_EQ(tags[0], (Tag{test.kind, 0, line.size(), platform::utf8ToSjis(test.reference)})) << test.line;
  }
  EXPECT_EQ(tagsOf("@#MIMEx \"a\" a@b.co"), (std::vector<Found>{{TagKind::MailAddress, "a@b.co"}}));
  EXPECT_EQ(tagsOf(" @#MIME \"a\""), std::vector<Found>{});
}

TEST(TagScanner, ALongLineIsScannedInOnePass) {
  std::string line;
  while (line.size() < 100 * 1024) line += platform::utf8ToSjis("本文 a@example.jp http://x.jp/ ");
  const auto tags = TagScanner::scan(line);
  EXPECT_EQ(tags.size(), 2 * (line.size() / platform::utf8ToSjis("本文 a@example.jp http://x.jp/ ").size()));
  EXPECT_EQ(tags.back().end(), line.size() - 1);
  // A line with no letters at all, and one that ends in a lead byte.
  EXPECT_TRUE(TagScanner::scan(std::string(100 * 1024, '@')).empty());
  EXPECT_TRUE(TagScanner::scan("\\\\\x82").empty());
}

TEST(TagTarget, OpensFoldersAndNamesMenus) {
  const std::string path = platform::utf8ToSjis("\\\\server\\資料\\議事録");
  EXPECT_EQ(platform::sjisToUtf8(TagTarget::openable(TagKind::NetworkPath, path)), "smb://server/資料/議事録");
  EXPECT_EQ(platform::sjisToUtf8(*TagTarget::containingFolder(TagKind::NetworkPath, path)), "smb://server/資料");
  EXPECT_EQ(TagTarget::containingFolder(TagKind::NetworkPath, "\\\\server"), std::nullopt);
  EXPECT_EQ(TagTarget::containingFolder(TagKind::Ftp, "ftp://h.jp/pub/a.lzh"), "ftp://h.jp/pub");
  EXPECT_EQ(TagTarget::containingFolder(TagKind::Ftp, "ftp://h.jp"), std::nullopt);
  EXPECT_EQ(TagTarget::containingFolder(TagKind::Http, "http://h.jp/a"), std::nullopt);
  EXPECT_EQ(TagTarget::openable(TagKind::Http, "http://h.jp/a"), "http://h.jp/a");
  EXPECT_EQ(TagTarget::menuName(TagKind::MimeLine), "TextINCF");
  EXPECT_EQ(TagTarget::menuName(TagKind::UuencodeLine), "");
  EXPECT_EQ(TagTarget::menuName(TagKind::MailAddress), "");
  EXPECT_EQ(TagTarget::menuName(TagKind::NetworkPath), "TextUNC");
}

}  // namespace
}  // namespace zorvik::view
