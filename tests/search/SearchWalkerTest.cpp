// The search over a store the tests build (nested cabinets, links, a
// deleted mail, the mail-server tray, a tray left out of searches): the
// order of the walk, what each switch and condition searches, collecting,
// stopping, the next unread mail, and a large tray read in blocks against
// a line-by-line reading of the same mails.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/Progress.h"
#include "platform/FileLock.h"
#include "platform/TextEncoding.h"
#include "search/SearchWalker.h"
#include "search/TextBlocks.h"
#include "store/TrayFile.h"
#include "support/SearchStore.h"
#include "support/TrayBuilder.h"

namespace zorvik::search {
namespace {

std::string sjis(const char* utf8) { return platform::utf8ToSjis(utf8); }

// "tray#index kind line", in UTF-8.
std::string describe(const SearchHit& hit) {
  return test::mailName(hit.row.tray, hit.row.index) + (hit.kind == SearchResult::BodyHit ? " body " : " header ") +
         platform::sjisToUtf8(hit.line);
}

SearchQuery textQuery(const char* text) {
  SearchQuery query;
  query.parameters.text = sjis(text);
  return query;
}

class SearchWalkerTest : public ::testing::Test {
protected:
  SearchWalkerTest() { test::buildSearchStore(builder.store()); }

  SearchWalker walker() const { return SearchWalker({builder.store(), sjis("メールサーバ"), 9}); }

  // Every hit, one step at a time, as "次を検索" shows them.
  std::vector<std::string> stepAll(const SearchQuery& query, const SearchScope& scope) {
    SearchWalker search = walker();
    search.start(query, scope);
    std::vector<std::string> hits;
    for (;;) {
      std::optional<SearchHit> hit;
      const SearchResult result = search.run(
          [&](const SearchHit& found) {
            hit = found;
            return false;
          },
          false, {}, progress);
      if (result == SearchResult::End) break;
      EXPECT_TRUE(hit && hit->kind == result);
      EXPECT_TRUE(search.canContinue());
      hits.push_back(describe(*hit));
    }
    EXPECT_FALSE(search.canContinue());
    return hits;
  }

  // Every hit in one run, as zorvik-cli lists them.
  std::vector<std::string> listAll(const SearchQuery& query, const SearchScope& scope) {
    SearchWalker search = walker();
    search.start(query, scope);
    std::vector<std::string> hits;
    const auto list = [&](const SearchHit& hit) {
      hits.push_back(describe(hit));
      return true;
    };
    EXPECT_EQ(search.run(list, false, {}, progress), SearchResult::End);
    return hits;
  }

  test::TrayBuilder builder;
  core::SilentProgress progress;
};

struct ScopeCase {
  const char* what;
  SearchScope scope;
  std::vector<std::string> hits;
};

TEST_F(SearchWalkerTest, WalksCabinetsDepthFirstAndGoesOnAfterEachHit) {
  const std::string inbox0 = "1受信#0 header Subject: 予算の件";
  const std::string inbox0Body = "1受信#0 body 来期の予算について。";
  const std::string meeting = "2仕事/1会議#0 header X-Mailer: 予算君";
  const std::string quote = "2仕事/2案件/見積#0 body 予算は100万円です。";
  const std::string link = "2仕事/3連絡#0 header Subject: 予算の件";
  const std::string linkBody = "2仕事/3連絡#0 body 来期の予算について。";
  const ScopeCase cases[] = {
      {"the whole store", SearchScope::wholeCabinet(""), {inbox0, inbox0Body, meeting, quote, link, linkBody}},
      {"a cabinet and its sub-cabinets", SearchScope::wholeCabinet(sjis("2仕事")), {meeting, quote, link, linkBody}},
      {"a tray alone", SearchScope::oneTray(sjis("2仕事/2案件/見積")), {quote}},
      {"from a tray on, up into the parent",
       SearchScope::startingAt("", sjis("2仕事/2案件/見積"), 0),
       {quote, link, linkBody}},
      {"from a mail on", SearchScope::startingAt("", sjis("1受信"), 1), {meeting, quote, link, linkBody}},
      {"from a tray on, inside its cabinet",
       SearchScope::startingAt(sjis("2仕事"), sjis("2仕事/3連絡"), 0),
       {link, linkBody}},
      {"the mail-server tray, never", SearchScope::oneTray(sjis("メールサーバ")), {}},
      {"a tray left out of searches, when chosen alone",
       SearchScope::oneTray(sjis("検索結果")),
       {"検索結果#0 body 予算は100万円です。"}},
  };
  for (const ScopeCase& c : cases) EXPECT_EQ(stepAll(textQuery("予算"), c.scope), c.hits) << c.what;
}

// Between two steps no tray file is held: a writer can lock the tray the
// walk stands in at once, and what it adds is found when the walk goes on.
TEST_F(SearchWalkerTest, HoldsNoFileBetweenSteps) {
  SearchWalker search = walker();
  search.start(textQuery("予算"), SearchScope::wholeCabinet(""));
  ASSERT_EQ(search.run([](const SearchHit&) { return false; }, false, {}, progress), SearchResult::HeaderHit);
  const store::TrayFile inbox(builder.store(), sjis("1受信"));
  platform::FileLock::setRetry({1, std::chrono::milliseconds(0)});
  EXPECT_TRUE(platform::FileLock::open(inbox.path(store::filetype::kIndex), platform::FileAccess::Update));
  EXPECT_TRUE(platform::FileLock::open(inbox.path(store::filetype::kText), platform::FileAccess::Update));
  platform::FileLock::setRetry({});
  test::storeMail(builder.store(), "1受信", {.subject = "追加", .body = {"追加の予算"}});
  std::vector<std::string> rest;
  while (search.run(
             [&](const SearchHit& hit) {
               rest.push_back(describe(hit));
               return false;
             },
             false, {}, progress) != SearchResult::End) {
  }
  ASSERT_GE(rest.size(), 2u);
  EXPECT_EQ(rest[0], "1受信#0 body 来期の予算について。");
  EXPECT_EQ(rest[1], "1受信#3 body 追加の予算");
}

struct ParameterCase {
  const char* what;
  const char* text;
  SearchParameters bar;  // text filled from `text`
  std::vector<std::string> hits;
};

TEST_F(SearchWalkerTest, SearchesWhatTheSwitchesSay) {
  const std::string tray = "検査";
  test::storeMail(builder.store(), tray,
                  {.subject = "Invoice 7341",
                   .from = "Keiri <keiri@corp.example.jp>",
                   .body = {"Dear all,", "invoice attached", "検索テスト"}});
  test::storeMail(builder.store(), tray,
                  {.subject = "請求書", .body = {"ＩＮＶＯＩＣＥ", "ｲﾝﾎﾞｲｽ", "invoice, invoice"}});
  const std::string subject = "検査#0 header Subject: Invoice 7341";
  const std::string body = "検査#0 body invoice attached";
  const std::string twice = "検査#1 body invoice, invoice";
  SearchParameters subjectOnly;
  subjectOnly.allHeaders = false;
  SearchParameters headersOnly;
  headersOnly.body = false;
  SearchParameters matchCase;
  matchCase.matchCase = true;
  SearchParameters atStart;
  atStart.lineStart = true;
  SearchParameters subjectStart = subjectOnly;
  subjectStart.lineStart = true;
  SearchParameters subjectMatchCase = subjectOnly;
  subjectMatchCase.matchCase = true;
  SearchParameters width;
  width.ignoreWidth = true;
  const ParameterCase cases[] = {
      {"headers and body, any case", "invoice", {}, {subject, body, twice}},
      {"letter case", "invoice", matchCase, {body, twice}},
      {"the Subject without the other headers", "invoice", subjectOnly, {subject, body, twice}},
      {"other headers only with the switch", "keiri", subjectOnly, {}},
      {"other headers", "keiri", {}, {"検査#0 header From: Keiri <keiri@corp.example.jp>"}},
      {"headers without the body", "invoice", headersOnly, {subject}},
      {"start of a line", "inv", atStart, {body, twice}},
      {"start of the Subject's text", "inv", subjectStart, {subject, body, twice}},
      {"width", "invoice", width, {subject, body, "検査#1 body ＩＮＶＯＩＣＥ", twice}},
      {"half-width katakana", "インボイス", width, {"検査#1 body ｲﾝﾎﾞｲｽ"}},
      {"never across two kanji", "沚", {}, {}},
      {"never on a trail byte (テ is 0x83 0x65)",
       "e",
       subjectMatchCase,
       {subject, "検査#0 body Dear all,", body, twice}},
  };
  for (ParameterCase c : cases) {
    SearchQuery query;
    query.parameters = c.bar;
    query.parameters.text = sjis(c.text);
    EXPECT_EQ(stepAll(query, SearchScope::oneTray(sjis("検査"))), c.hits) << c.what;
  }
}

struct ConditionCase {
  const char* what;
  RefinedConditions refined;
  const char* text;
  std::vector<std::string> hits;
};

TEST_F(SearchWalkerTest, EveryRefinedConditionNarrows) {
  const std::string tray = "条件";
  // 2026-12-01 10:00, 2026-12-05 23:30 and 2026-12-06 00:30 in Japan (UTC+9).
  test::storeMail(builder.store(), tray,
                  {.subject = "週報",
                   .from = "tanaka@a.example.jp",
                   .to = "me@example.jp",
                   .body = {"進捗あり"},
                   .extraHeader = {"X-Mailer: Zorvik"},
                   .date = 1796086800});
  test::storeMail(builder.store(), tray,
                  {.subject = "週報 2",
                   .from = "suzuki@b.example.jp",
                   .to = "team@example.jp",
                   .body = {"特になし"},
                   .extraHeader = {"X-Mailer: Other"},
                   .date = 1796481000,
                   .mark = 2});
  test::storeMail(builder.store(), tray,
                  {.subject = "休暇",
                   .from = "tanaka@a.example.jp",
                   .to = "team@example.jp",
                   .body = {"進捗あり"},
                   .date = 1796484600});
  const auto field = [](const char* name, const char* text, bool contains = true) {
    return FieldCondition{name, {sjis(text), contains}};
  };
  const auto mails = [](std::initializer_list<int> indices) {
    std::vector<std::string> hits;
    for (const int i : indices)
      hits.push_back("条件#" + std::to_string(i) + " header " + (i == 2 ? "休暇" : i == 1 ? "週報 2" : "週報"));
    return hits;
  };
  const ConditionCase cases[] = {
      {"From contains", {.fields = {field("From", "tanaka")}}, "", mails({0, 2})},
      {"From does not contain", {.fields = {field("From", "tanaka", false)}}, "", mails({1})},
      {"To contains", {.fields = {field("To", "team")}}, "", mails({1, 2})},
      {"Subject contains", {.fields = {field("Subject", "週報")}}, "", mails({0, 1})},
      {"a chosen header", {.fields = {field("X-Mailer", "Zorvik")}}, "", mails({0})},
      {"a chosen header missing", {.fields = {field("x-mailer", "Zorvik", false)}}, "", mails({1, 2})},
      {"letter case counts", {.fields = {field("From", "TANAKA")}}, "", {}},
      {"body contains", {.body = TextCondition{sjis("進捗"), true}}, "", mails({0, 2})},
      {"body does not contain", {.body = TextCondition{sjis("進捗"), false}}, "", mails({1})},
      {"from a day on, in the user's zone", {.since = Day{2026, 12, 5}}, "", mails({1, 2})},
      {"up to a day, in the user's zone", {.until = Day{2026, 12, 5}}, "", mails({0, 1})},
      {"marked mails only", {.markedOnly = true}, "", mails({1})},
      {"all at once",
       {.fields = {field("From", "tanaka")}, .body = TextCondition{sjis("進捗"), true}, .since = Day{2026, 12, 2}},
       "",
       mails({2})},
      {"with a text as well", {.fields = {field("Subject", "週報")}}, "2", {"条件#1 header Subject: 週報 2"}},
  };
  for (const ConditionCase& c : cases) {
    SearchQuery query;
    query.refined = c.refined;
    query.parameters.text = sjis(c.text);
    EXPECT_EQ(stepAll(query, SearchScope::oneTray(sjis("条件"))), c.hits) << c.what;
  }
}

TEST_F(SearchWalkerTest, CollectsEachMailOnceThroughLinksToo) {
  SearchWalker search = walker();
  search.start(textQuery("予算"), SearchScope::wholeCabinet(""));
  std::vector<SearchHit> hits;
  EXPECT_EQ(search.collect(hits, {}, progress), SearchResult::End);
  std::vector<std::string> mails;
  for (const SearchHit& hit : hits) mails.push_back(test::mailName(hit.mail.tray, hit.mail.index));
  EXPECT_EQ(mails, (std::vector<std::string>{"1受信#0", "2仕事/1会議#0", "2仕事/2案件/見積#0"}));
  EXPECT_FALSE(search.canContinue());
}

TEST_F(SearchWalkerTest, StopsBeforeAMail) {
  SearchWalker search = walker();
  search.start(textQuery("予算"), SearchScope::wholeCabinet(""));
  int asked = 0;
  std::vector<SearchHit> hits;
  EXPECT_EQ(search.collect(
                hits, [&] { return ++asked > 3; }, progress),
            SearchResult::Stopped);
  // Asked before 1受信#0 (a hit), #1, the end of 1受信, and the next tray.
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_FALSE(search.canContinue());
}

TEST_F(SearchWalkerTest, FindsTheUnreadMailsInWalkOrder) {
  SearchQuery unread;
  unread.unread = true;
  EXPECT_EQ(stepAll(unread, SearchScope::wholeCabinet("")),
            (std::vector<std::string>{"1受信#0 header 予算の件", "2仕事/2案件/見積#0 header 見積書送付",
                                      "2仕事/3連絡#0 header 予算の件", "3家族#0 header 旅行"}));
  EXPECT_EQ(stepAll(unread, SearchScope::startingAt("", sjis("2仕事/3連絡"), 1)),
            (std::vector<std::string>{"3家族#0 header 旅行"}));
}

// A tray of several blocks, with deleted mails, a line longer than a
// block and text after the last mail that no record owns, searched in
// blocks and, for comparison, line by line through the store's readers.
TEST_F(SearchWalkerTest, LargeTrayFindsWhatLineByLineReadingFinds) {
  const std::string tray = "bulk";
  std::mt19937 random(17);
  const std::vector<std::string> words = {"予算", "会議", "ﾖｻﾝ", "ＹＯＳＡＮ", "yosan", "Yosan", "検索", "の",
                                          "、",   "です", "abc", " ",          "ア",    "チ",    "沚",   "x"};
  const auto randomLine = [&](std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += words[random() % words.size()];
    return text;
  };
  for (int i = 0; i < 1500; ++i) {
    test::TestMail mail{.subject = randomLine(3)};
    for (std::size_t n = random() % 12; n > 0; --n) mail.body.push_back(randomLine(random() % 30));
    if (i == 700) mail.body.push_back(std::string(300 * 1024, 'x') + "予算");
    const std::uint32_t index = test::storeMail(builder.store(), tray, mail);
    if (random() % 7 == 0) store::TrayFile(builder.store(), "bulk").changeFlags(index, 1, true);
  }
  const store::TrayFile file(builder.store(), "bulk");
  test::TrayBuilder::write(file.path(store::filetype::kText),
                           test::TrayBuilder::bytes(file.path(store::filetype::kText)) + sjis("予算 yosan\r\n"));
  ASSERT_GT(test::TrayBuilder::bytes(file.path(store::filetype::kText)).size(), 3 * TextBlocks::kBlockSize);

  // Every line of every live mail, as the store's readers give them.
  struct Line {
    std::uint32_t index;
    bool body;
    std::string text;
  };
  std::vector<Line> lines;
  auto records = file.reader();
  store::TrayRecord row;
  while (records->nextMail(row) == store::ReadResult::Live) {
    const std::string header = *file.headerLines(row.index);
    for (std::size_t at = 0; at <= header.size();) {
      const std::size_t end = std::min(header.find("\r\n", at), header.size());
      lines.push_back({row.index, false, header.substr(at, end - at)});
      at = end + 2;
    }
    auto body = file.bodyReader(row.index);
    for (std::string text; body->next(text);) lines.push_back({row.index, true, text});
  }

  for (const FoldOptions fold : {FoldOptions{}, FoldOptions{true, false, false}, FoldOptions{true, true, true}}) {
    for (const char* needle : {"予算", "yosan", "沚", "ア"}) {
      SearchQuery query = textQuery(needle);
      query.parameters.matchCase = !fold.ignoreCase;
      query.parameters.ignoreWidth = fold.ignoreWidth;
      query.parameters.ignoreKana = fold.ignoreKana;
      const TextMatcher matcher(query.parameters.text, fold, false);
      std::vector<std::string> expected;
      for (const Line& line : lines) {
        if (matcher.find(line.text))
          expected.push_back("bulk#" + std::to_string(line.index) + (line.body ? " body " : " header ") +
                             platform::sjisToUtf8(line.text));
      }
      const auto found = listAll(query, SearchScope::oneTray("bulk"));
      EXPECT_EQ(found.size(), expected.size()) << needle;
      EXPECT_TRUE(found == expected) << needle << " ignoring case " << fold.ignoreCase << " width " << fold.ignoreWidth;
    }
  }
}

}  // namespace
}  // namespace zorvik::search
