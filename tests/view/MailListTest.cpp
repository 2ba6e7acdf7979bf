// The mail list over real trays: sort order (double-byte text, equal dates,
// both directions), threads, the tray's own sort setting, links and broken
// links, icons and marks, next unread, and a cabinet's rows.
#include <gtest/gtest.h>

#include <vector>

#include "platform/FileSystem.h"
#include "store/LinkRecord.h"
#include "store/RecordFlags.h"
#include "view/MailList.h"
#include "view/MultibyteCompare.h"
#include "ViewStore.h"

namespace zorvik::view {
namespace {

namespace flag = store::recordflag;

class MailListTest : public ViewStore {
protected:
  MailListTest() : tray(builder.createTray("T")) {}

  // The subjects (UTF-8) in display order.
  std::vector<std::string> column(const MailList& list, int which = MailList::kSubject) const {
    std::vector<std::string> out;
    for (std::size_t row = 0; row < list.rowCount(); ++row) out.push_back(platform::sjisToUtf8(list.text(row, which)));
    return out;
  }
  MailList shown(int direction, int item) {
    store::TrayProperties properties = *tray.properties();
    properties.setSort(direction, item);
    EXPECT_TRUE(tray.rewriteProperties(properties));
    MailList list(appearance());
    EXPECT_TRUE(list.showTray(store(), settings, "T"));
    return list;
  }
  static ListAppearance appearance() {
    ListAppearance look;
    look.dateFormat = "%m/%d %H:%M";
    look.threadTopMark = platform::sjisLiteral("◆");
    look.threadIndent = "-";
    look.zoneHours = 9;
    return look;
  }

  store::TrayFile tray;
};

TEST(MultibyteCompare, CharacterOrder) {
  struct Case {
    const char* a;  // UTF-8
    const char* b;
    int sign;
  };
  const std::vector<Case> cases = {
      {"abc", "abd", -1},
      {"ab", "abc", -1},
      {"", "", 0},
      // Half-width katakana (one byte, 0xB1) sort before kanji (0x88 lead).
      {"ｱ", "亜", -1},
      {"亜", "ｱ", 1},
      // Plain byte order would say the opposite for both of these.
      {"ｶﾞ", "あ", -1},
      {"あ", "い", -1},
      {"A", "あ", -1},
  };
  for (const Case& c : cases) {
    const std::string a = platform::utf8ToSjis(c.a);
    const std::string b = platform::utf8ToSjis(c.b);
    const int compared = compareMultibyte(a, b);
    EXPECT_EQ((compared > 0) - (compared < 0), c.sign) << c.a << " " << c.b;
    // The sort keys order the same way byte by byte.
    std::string keyA;
    std::string keyB;
    appendMultibyteKey(a, keyA);
    appendMultibyteKey(b, keyB);
    const int byKey = keyA.compare(keyB);
    EXPECT_EQ((byKey > 0) - (byKey < 0), c.sign) << c.a << " " << c.b;
  }
  // A lead byte cut off at a field's end counts as a byte of its own.
  EXPECT_LT(compareMultibyte("\x88", "\x88\x9F"), 0);
}

TEST_F(MailListTest, SortOrders) {
  append(tray, {"佐藤", "ｱﾝｹｰﾄ", 300});
  append(tray, {"Abe", "会議", 100});
  append(tray, {"佐藤", "abc", 200});
  append(tray, {"伊藤", "会議", 200});  // same date as mail 2
  struct Case {
    int direction;
    int item;
    std::vector<std::string> subjects;
  };
  const std::vector<Case> cases = {
      {0, 0, {"ｱﾝｹｰﾄ", "会議", "abc", "会議"}},   // file order
      {1, 0, {"ｱﾝｹｰﾄ", "会議", "abc", "会議"}},   // file order knows no direction
      {0, 4, {"会議", "abc", "会議", "ｱﾝｹｰﾄ"}},   // date; equal dates in file order
      {1, 4, {"ｱﾝｹｰﾄ", "会議", "abc", "会議"}},   // ... and exactly reversed
      {0, 3, {"abc", "ｱﾝｹｰﾄ", "会議", "会議"}},   // subject: ASCII, half-width kana, kanji
      {1, 3, {"会議", "会議", "ｱﾝｹｰﾄ", "abc"}},
      {0, 1, {"会議", "会議", "ｱﾝｹｰﾄ", "abc"}},   // name: Abe, 伊藤, 佐藤 (file order among equals)
  };
  for (const Case& c : cases) {
    const MailList list = shown(c.direction, c.item);
    EXPECT_EQ(column(list), c.subjects) << c.direction << "/" << c.item;
    EXPECT_EQ(list.sortState().trayProperties(), (std::array<int, 2>{c.item == 0 ? 0 : c.direction, c.item}));
    // Sorting a list already shown (a header click) reads the texts anew:
    // the same order.
    MailList resorted = shown(0, 0);
    resorted.setSortState(list.sortState());
    EXPECT_EQ(column(resorted), c.subjects) << "resorted " << c.direction << "/" << c.item;
  }
  // The record index of a row is kept whatever the order.
  const MailList byDate = shown(1, 4);
  EXPECT_EQ(byDate.mailIndex(0), 0U);
  EXPECT_EQ(byDate.rowOfMail(2), 2U);
}

TEST_F(MailListTest, HeaderClicksAndTrayWriteBack) {
  for (int i = 0; i < 3; ++i) append(tray, {"n", "s" + std::to_string(i), 100 + i});
  MailList list = shown(1, 4);
  EXPECT_FALSE(list.changedTraySort());
  ListSortState state = list.sortState();
  state.click(MailList::kDate);  // the sort column: direction reverses
  list.setSortState(state);
  EXPECT_EQ(column(list), (std::vector<std::string>{"s0", "s1", "s2"}));
  state.click(MailList::kDate);
  list.setSortState(state);
  EXPECT_EQ(column(list), (std::vector<std::string>{"s2", "s1", "s0"}));
  EXPECT_FALSE(list.changedTraySort());  // back where the tray had it
  state.click(MailList::kSubject);
  list.setSortState(state);
  EXPECT_EQ(list.changedTraySort(), (std::array<int, 2>{0, 3}));
  // The date column's direction is remembered while another column sorts.
  state.click(MailList::kDate);
  EXPECT_EQ(state.direction(), 1);
  // Threads over the date column; clicking another column leaves them.
  state.setThreads(true);
  EXPECT_EQ(state.trayProperties(), (std::array<int, 2>{1, 7}));
  EXPECT_EQ(state.layout(), (std::array<int, 2>{7, 1}));
  state.click(MailList::kName);
  EXPECT_FALSE(state.threads());
  ListSortState restored;
  restored.applyLayout(5, 0);
  EXPECT_TRUE(restored.threads());
  EXPECT_EQ(restored.column(), MailList::kDate);
}

TEST_F(MailListTest, ThreadDisplayMarksAndDepth) {
  append(tray, {"n", "Re: top", 300, 0, 2, 1});  // a reply listed before its parent
  append(tray, {"n", "top", 100, 0, 1, 0});
  append(tray, {"n", "Re: Re: top", 400, 0, 3, 2});
  append(tray, {"n", "alone", 200, 0, 4, 0});
  const MailList list = shown(0, 7);  // threads, ascending dates
  EXPECT_EQ(column(list), (std::vector<std::string>{"◆top", "  -Re: top", "  --Re: Re: top", "◆alone"}));
  EXPECT_EQ(list.depth(2), 2U);
  // Sorted by date first (top, alone, Re: top, Re: Re: top), then threaded:
  // the reply waits for nothing here since its parent came first.
  EXPECT_EQ(list.mailIndex(0), 1U);
}

TEST_F(MailListTest, RowsIconsAndMarks) {
  append(tray, {"me", "mine", 100, flag::kSentByUser});
  append(tray, {"you", "to me", 100, flag::kToUser | flag::kOpened});
  append(tray, {"x", "marked", 100, flag::withMark(flag::kAttachments, 2)});
  append(tray, {"x", "deleted", 100, flag::kDeleted});
  const store::TrayFile other = builder.createTray("O");
  const auto target = append(other, {"linked", "linked mail", 50, flag::kOpened | (1U << flag::kReferenceShift)});
  ASSERT_TRUE(tray.writeLink(std::nullopt, "O", target));
  ASSERT_TRUE(tray.writeLink(std::nullopt, "gone", 7));  // a link whose tray does not exist

  MailList list = shown(0, 0);  // file order
  ASSERT_EQ(list.rowCount(), 5U);  // the deleted mail is not listed
  struct Row {
    const char* subject;
    int icon;
    int state;
    int overlay;
    bool unread;
  };
  const std::vector<Row> rows = {
      {"mine", 4, 0, 0, true},     {"to me", 3, 0, 0, false}, {"marked", 6, 8, 0, true},
      {"linked mail", 7, 0, 1, false}, {"gone", 6, 0, 3, true},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(platform::sjisToUtf8(list.text(i, MailList::kSubject)), rows[i].subject) << i;
    EXPECT_EQ(list.icon(i), rows[i].icon) << i;
    EXPECT_EQ(list.stateImage(i), rows[i].state) << i;
    EXPECT_EQ(list.overlay(i), rows[i].overlay) << i;
    EXPECT_EQ(list.unread(i), rows[i].unread) << i;
  }
  EXPECT_EQ(list.linkTarget(3), std::make_pair(std::string("O"), target));
  EXPECT_EQ(list.mailIndex(4), 5U);
  // The broken link counts as no mail to read.
  EXPECT_EQ(list.nextUnread(std::nullopt), 0U);
  EXPECT_EQ(list.nextUnread(0), 2U);
  EXPECT_EQ(list.nextUnread(2), std::nullopt);
  EXPECT_EQ(list.nextWithMark(2, 2), 2U);  // wraps round to itself
  EXPECT_EQ(list.nextWithMark(std::nullopt, 3), std::nullopt);
  EXPECT_EQ(list.unreadCount(), 2U);
  list.setOpened(0, true);
  EXPECT_EQ(list.icon(0), 5);
  EXPECT_EQ(list.unreadCount(), 1U);
  list.setMark(2, 5);
  EXPECT_EQ(list.stateImage(2), 11);
  EXPECT_EQ(platform::sjisToUtf8(list.text(0, MailList::kDate)), "01/01 09:01");
  EXPECT_EQ(list.text(0, MailList::kLines), "    2");
  EXPECT_EQ(platform::sjisToUtf8(list.columnTitle(MailList::kLines)), "行数");
}

TEST_F(MailListTest, CabinetRowsAndEmptyTray) {
  builder.createTray(settings.text(core::item::kTrashTray));
  ASSERT_TRUE(platform::makeDirectory(store().topCabinetPath() + "/" + sjis("旅行")));
  MailList list;
  list.showCabinet(store(), settings, "");
  std::vector<std::string> names = column(list, MailList::kName);
  // The system tray first, then the cabinet, then ordinary trays.
  EXPECT_EQ(names, (std::vector<std::string>{"ごみ箱", "旅行", "T"}));
  EXPECT_EQ(list.icon(0), 15);
  EXPECT_EQ(list.icon(1), 0);
  EXPECT_EQ(list.rowClass(1), MailList::RowClass::Cabinet);
  EXPECT_EQ(list.mailIndex(0), std::nullopt);
  ASSERT_NE(list.node(2), nullptr);
  EXPECT_EQ(list.node(2)->path, "T");

  MailList empty;
  ASSERT_TRUE(empty.showTray(store(), settings, "T"));
  EXPECT_EQ(empty.rowCount(), 0U);
  ListSortState threads;
  threads.setThreads(true);
  empty.setSortState(threads);
  EXPECT_EQ(empty.rowCount(), 0U);
  EXPECT_FALSE(empty.showTray(store(), settings, "missing"));
}

}  // namespace
}  // namespace zorvik::view
