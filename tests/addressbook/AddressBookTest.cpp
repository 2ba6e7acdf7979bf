// The address book over a vCard file: cards as other programs write them
// (vCard 2.1, 3.0, 4.0), written back so they read them, resolved and
// stepped through as the compose window completes addresses, changed by
// several writers at once without losing an entry, an entry edited without
// touching what else its card or the book holds, and a write cut off at
// any moment leaving the book whole.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "addressbook/AddressCompleter.h"
#include "addressbook/VCardAddressBook.h"
#include "addressbook/VCardReader.h"
#include "addressbook/VCardWriter.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/KilledChild.h"
#include "support/TestEnvironment.h"

namespace zorvik::addressbook {
namespace {

std::string sjis(const char* utf8) { return platform::utf8ToSjis(utf8); }

TEST(VCardReader, ReadsTheCardsOfEveryVersionIntoOneForm) {
  struct Case {
    const char* what;
    std::string file;
    std::string name;
    std::vector<std::string> addresses;
    std::string extra;  // company/department/office/title/note, as "c|d|o|t|n"
  };
  const std::vector<Case> cases{
      {"3.0, folded, escaped, grouped",
       "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:山田\r\n  太郎\r\nitem1.EMAIL;type=INTERNET;type=pref:taro@example.jp\r\n"
       "ORG:Example\\, Inc.;営業;東京\r\nTITLE:課長\r\nNOTE:一行目\\n二行目\r\nEND:VCARD\r\n",
       "山田 太郎", {"taro@example.jp"}, "Example, Inc.|営業|東京|課長|一行目\n二行目"},
      {"4.0 as Thunderbird writes it, two addresses",
       "BEGIN:VCARD\nVERSION:4.0\nEMAIL;PREF=1:a@example.com\nEMAIL;TYPE=work:mailto:b@example.com\nFN:A B\n"
       "N:B;A;;;\nUID:x\nEND:VCARD\n",
       "A B", {"a@example.com", "b@example.com"}, "||||"},
      {"2.1 as phones export it: quoted-printable with a soft break, bare types",
       "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E9=88=B4=E6=9C=A8;;;;\r\n"
       "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E9=88=B4=E6=9C=A8=20=E8=8A=\r\n=B1=E5=AD=90\r\n"
       "EMAIL;HOME;PREF:hanako@example.jp\r\nEND:VCARD\r\n",
       "鈴木 花子", {"hanako@example.jp"}, "||||"},
      {"2.1 with the bare encoding; a garbled encoding parameter is no soft break",
       "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;QUOTED-PRINTABLE:=E9=88=B4=\r\n=E6=9C=A8\r\n"
       "NOTE;XENCODING=QUOTED-PRINTABLE:a=\r\nEMAIL:x@example.jp\r\nEND:VCARD\r\n",
       "鈴木", {"x@example.jp"}, "||||a="},
      {"Shift_JIS in a CHARSET parameter",
       "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=SHIFT_JIS:" + sjis("佐藤") + "\r\nEMAIL:s@example.jp\r\nEND:VCARD\r\n",
       "佐藤", {"s@example.jp"}, "||||"},
      {"no END, a stray line, a line without colon",
       "junk before\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:No End\r\nnonsense\r\nEMAIL:n@example.jp\r\n", "No End",
       {"n@example.jp"}, "||||"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto cards = VCardReader::parse(c.file);
    ASSERT_EQ(cards.size(), 1u);
    const AddressEntry entry = cards[0].view();
    EXPECT_EQ(platform::sjisToUtf8(entry.name), c.name);
    std::vector<std::string> addresses;
    for (const std::string& address : entry.addresses) addresses.push_back(platform::sjisToUtf8(address));
    EXPECT_EQ(addresses, c.addresses);
    EXPECT_EQ(platform::sjisToUtf8(entry.company + "|" + entry.department + "|" + entry.office + "|" + entry.title + "|" +
                                   entry.note),
              c.extra);
  }
  // The card after one that never ended is a card of its own.
  EXPECT_EQ(VCardReader::parse("BEGIN:VCARD\nFN:a\nBEGIN:VCARD\nFN:b\nEND:VCARD\n").size(), 2u);
}

TEST(VCardWriter, WritesVersion3ThatReadsBackByteForByte) {
  // A card as this writer writes it: every property kept, unknown ones
  // too, lines folded at 75 bytes and never inside a UTF-8 character.
  const std::string note(60, 'x');
  const std::string card =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:山田 太郎\r\nN:山田;太郎;;;\r\nNICKNAME:たろう\r\n"
      "EMAIL;TYPE=INTERNET:taro@example.jp\r\nEMAIL;TYPE=INTERNET,WORK:yamada@work.example.jp\r\n"
      "TEL;TYPE=CELL:+81-90-0000-0000\r\nADR;TYPE=WORK:;;丸の内1-1;千代田区;東京都;100-0005;日本\r\n"
      "NOTE:" + note + "長いメ\r\n モの続き、ここで折り返される。さらに続く長いメモ\r\n の最後の部分\r\nX-ZORVIK-TEST;X-P=\"a:b\":value\\, with\\; escapes\r\nEND:VCARD\r\n";
  const auto cards = VCardReader::parse(card);
  ASSERT_EQ(cards.size(), 1u);
  EXPECT_EQ(VCardWriter::write(cards), card);
  for (std::size_t at = 0; at < card.size();) {
    const std::size_t end = card.find("\r\n", at);
    EXPECT_LE(end - at, 75u);
    at = end + 2;
  }
  // A card that lacks what version 3.0 requires gets it.
  EXPECT_EQ(VCardWriter::write(VCardReader::parse("BEGIN:VCARD\nEMAIL:x@example.jp\nEND:VCARD\n")),
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:x@example.jp\r\nN:;;;;\r\nEMAIL:x@example.jp\r\nEND:VCARD\r\n");
}

class VCardAddressBookTest : public ::testing::Test {
protected:
  void write(const std::string& text) { ASSERT_TRUE(platform::writeFileAtomically(path(), text)); }
  std::string path() const { return dir.file("addressbook.vcf"); }
  test::ScratchDir dir;
};

TEST_F(VCardAddressBookTest, CompletionStepsThroughTheChoicesAndTheTemplateFieldsComeFromTheEntry) {
  write("BEGIN:VCARD\r\nFN:山田 太郎\r\nN:山田;太郎;;;\r\nEMAIL:taro@example.jp\r\nEMAIL:yamada@work.example.jp\r\n"
        "ORG:Example;営業;東京\r\nTITLE:課長\r\nNOTE:メモ\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nFN:山田花子\r\nEMAIL:hanako@example.jp\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nFN:Yamamoto, Ken\r\nNICKNAME:yama\r\nEMAIL:ken@example.jp\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nFN:No Address\r\nEND:VCARD\r\n");
  VCardAddressBook book(path());
  AddressCompleter completer(book);
  const std::string first = sjis("山田 太郎 <taro@example.jp>");
  EXPECT_EQ(completer.complete(sjis("山田")), first);
  EXPECT_EQ(completer.complete(first), sjis("山田 太郎 <yamada@work.example.jp>"));
  EXPECT_EQ(completer.complete(sjis("山田 太郎 <yamada@work.example.jp>")), sjis("山田花子 <hanako@example.jp>"));
  EXPECT_EQ(completer.complete(sjis("山田花子 <hanako@example.jp>")), first) << "round to the first again";
  EXPECT_EQ(completer.complete("YAMA"), "\"Yamamoto, Ken\" <ken@example.jp>") << "the exact nickname first";
  EXPECT_EQ(completer.complete(sjis("太郎")), first) << "a word of the name";
  EXPECT_EQ(completer.complete("ken@"), "\"Yamamoto, Ken\" <ken@example.jp>") << "an address";
  EXPECT_FALSE(completer.complete("No Address"));
  EXPECT_FALSE(completer.complete("nobody"));

  const auto entry = book.findByAddress("YAMADA@work.example.jp");
  ASSERT_TRUE(entry);
  for (const auto& [tag, value] : std::vector<std::pair<const char*, const char*>>{
           {"[WAB-NAME]", "山田 太郎"}, {"[WAB-TITL]", "課長"}, {"[WAB-CORP]", "Example"},
           {"[WAB-SECT]", "営業"}, {"[WAB-OFIC]", "東京"}, {"[WAB-MEMO]", "メモ"}})
    EXPECT_EQ(entry->templateValue(tag), sjis(value)) << tag;
  EXPECT_FALSE(entry->templateValue("[name]"));
  EXPECT_FALSE(book.findByAddress("nobody@example.jp"));
}

TEST_F(VCardAddressBookTest, WritersAtOnceLoseNoEntryAndReadersSeeOtherWriters) {
  VCardAddressBook reader(path());
  EXPECT_TRUE(reader.entries().empty()) << "no file is an empty book";
  constexpr int kPerWriter = 40;
  std::vector<std::thread> writers;
  for (int w = 0; w < 3; ++w) {
    writers.emplace_back([this, w] {
      VCardAddressBook book(path());
      for (int i = 0; i < kPerWriter; ++i) {
        const std::string id = std::to_string(w) + "-" + std::to_string(i);
        EXPECT_TRUE(book.create("Writer " + id, "w" + id + "@example.jp"));
      }
    });
  }
  for (auto& writer : writers) writer.join();
  EXPECT_EQ(reader.entries().size(), 3u * kPerWriter) << "the reader sees the file as it is now";
  EXPECT_TRUE(reader.findByAddress("w2-39@example.jp"));
  EXPECT_EQ(reader.remove("W1-0@example.jp"), 1u);
  EXPECT_EQ(VCardAddressBook(path()).entries().size(), 3u * kPerWriter - 1);
  EXPECT_FALSE(platform::pathExists(path() + ".new")) << "no temporary file is left";
}

std::string joined(const std::vector<std::string>& cards) {
  std::string file;
  for (const std::string& card : cards) file += card;
  return file;
}

std::string card(const std::string& lines) { return "BEGIN:VCARD\r\nVERSION:3.0\r\n" + lines + "END:VCARD\r\n"; }

TEST_F(VCardAddressBookTest, AnEditChangesItsOwnPropertiesAndNothingElse) {
  const std::string taro =
      "FN:山田 太郎\r\nN:山田;太郎;;;\r\nX-PHONETIC-LAST-NAME:やまだ\r\nX-PHONETIC-FIRST-NAME:たろう\r\n"
      "NICKNAME:たろ,やまちゃん\r\nitem1.EMAIL;TYPE=INTERNET,WORK:taro@work.example.jp\r\n"
      "EMAIL;TYPE=INTERNET:taro@example.jp\r\nTEL;TYPE=CELL:+81-90-0000-0000\r\nORG:Example;営業;東京;第一課\r\n"
      "TITLE:課長\r\nNOTE:メモ\r\nX-OTHER-APP:keep\\, me\r\n";
  // As the book creates an entry: N made from the display name.
  const std::string suzuki = "FN:鈴木\r\nN:鈴木;;;;\r\nNICKNAME:鈴木\r\nEMAIL;TYPE=INTERNET:suzuki@example.jp\r\n";
  const std::vector<std::string> book{card("FN:Before\r\nN:;;;;\r\nEMAIL:before@example.jp\r\n"), card(taro),
                                      card(suzuki), card("FN:After\r\nN:;;;;\r\nEMAIL:after@example.jp\r\n")};
  struct Case {
    const char* what;
    const char* address;  // the entry's, as the window knows it
    std::function<void(AddressEntry&)> edit;
    std::size_t card;
    std::string expected;  // the card's lines afterwards
  };
  const auto replaced = [&taro](const std::string& from, const std::string& to) {
    std::string lines = taro;
    lines.replace(lines.find(from), from.size(), to);
    return lines;
  };
  const std::vector<Case> cases{
      {"the display name; an N of the user's own stays", "taro@example.jp",
       [](AddressEntry& e) { e.name = sjis("山田 太郎（営業）"); }, 1, replaced("FN:山田 太郎", "FN:山田 太郎（営業）")},
      {"the reading replaces the phonetic names it was read from", "taro@example.jp",
       [](AddressEntry& e) { e.reading = sjis("やまだ たろう, じr."); }, 1,
       replaced("X-PHONETIC-LAST-NAME:やまだ\r\nX-PHONETIC-FIRST-NAME:たろう\r\n", "") +
           "SORT-STRING:やまだ たろう\\, じr.\r\n"},
      {"the first nickname; the rest of the list stays", "TARO@example.jp",
       [](AddressEntry& e) { e.nickname = "taro"; }, 1, replaced("NICKNAME:たろ,", "NICKNAME:taro,")},
      {"addresses reordered and added: a kept one keeps its group and types", "taro@example.jp",
       [](AddressEntry& e) { e.addresses = {"taro@example.jp", "taro@work.example.jp", "new@example.jp"}; }, 1,
       replaced("item1.EMAIL;TYPE=INTERNET,WORK:taro@work.example.jp\r\nEMAIL;TYPE=INTERNET:taro@example.jp\r\n",
                "EMAIL;TYPE=INTERNET:taro@example.jp\r\nitem1.EMAIL;TYPE=INTERNET,WORK:taro@work.example.jp\r\n"
                "EMAIL;TYPE=INTERNET:new@example.jp\r\n")},
      {"an address dropped", "taro@work.example.jp", [](AddressEntry& e) { e.addresses = {"taro@example.jp"}; }, 1,
       replaced("item1.EMAIL;TYPE=INTERNET,WORK:taro@work.example.jp\r\n", "")},
      {"the company; the organisation's fourth part stays; emptied fields go", "taro@example.jp",
       [](AddressEntry& e) {
         e.company = "Example; Inc.";
         e.title.clear();
         e.note.clear();
       },
       1,
       replaced("ORG:Example;営業;東京;第一課\r\nTITLE:課長\r\nNOTE:メモ\r\n", "ORG:Example\\; Inc.;営業;東京;第一課\r\n")},
      {"an N the book made follows the name; a new title is added", "suzuki@example.jp",
       [](AddressEntry& e) {
         e.name = sjis("鈴木 一郎");
         e.title = sjis("部長");
       },
       2, "FN:鈴木 一郎\r\nN:鈴木 一郎;;;;\r\nNICKNAME:鈴木\r\nEMAIL;TYPE=INTERNET:suzuki@example.jp\r\nTITLE:部長\r\n"},
      {"nothing changed", "taro@example.jp", [](AddressEntry&) {}, 1, taro},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write(joined(book));
    VCardAddressBook edited(path());
    auto entry = edited.findByAddress(c.address);
    ASSERT_TRUE(entry);
    c.edit(*entry);
    ASSERT_TRUE(edited.update(c.address, *entry));
    std::vector<std::string> expected = book;
    expected[c.card] = card(c.expected);
    EXPECT_EQ(platform::readFile(path()), joined(expected));
    EXPECT_EQ(VCardAddressBook(path()).findByAddress(entry->addresses.front()), entry) << "read back as edited";
  }
  write(joined(book));
  VCardAddressBook held(path());
  EXPECT_EQ(held.findByAddress("taro@example.jp")->reading, sjis("やまだ たろう"));
  EXPECT_EQ(held.resolve(sjis("たろう")).size(), 2u) << "found by a word of its reading";
  EXPECT_FALSE(held.update("nobody@example.jp", *held.findByAddress("taro@example.jp")));
  EXPECT_EQ(platform::readFile(path()), joined(book)) << "no entry, no write";
}

// The book is rewritten whole on every change; a writer killed at any
// moment of it leaves either the book before or the book after, never a
// part of one, and the next change goes through.
TEST_F(VCardAddressBookTest, AnEditCutOffAtAnyMomentLeavesTheBookWhole) {
  constexpr int kCards = 5000;
  constexpr int kKills = 10;
  std::vector<std::string> cards;
  for (int i = 0; i < kCards; ++i) {
    const std::string n = std::to_string(i);
    cards.push_back(card("FN:人 " + n + "\r\nN:人;" + n + ";;;\r\nEMAIL:p" + n + "@example.jp\r\nTEL:" + n + "\r\n"));
  }
  const std::string before = joined(cards);
  const auto edit = [this] {
    VCardAddressBook book(path());
    AddressEntry entry = *book.findByAddress("p2500@example.jp");
    entry.name = sjis("変えた名前");
    entry.reading = sjis("かえたなまえ");
    book.update("p2500@example.jp", entry);
  };
  write(before);
  const auto start = std::chrono::steady_clock::now();
  edit();
  const auto duration = std::chrono::steady_clock::now() - start;
  const auto after = platform::readFile(path());
  ASSERT_TRUE(after);
  ASSERT_NE(*after, before);
  for (int kill = 0; kill < kKills; ++kill) {
    write(before);
    test::killAfter(std::chrono::duration_cast<std::chrono::microseconds>(duration * kill / (kKills - 4)), edit);
    const auto left = platform::readFile(path());
    ASSERT_TRUE(left) << "kill " << kill;
    ASSERT_TRUE(*left == before || *left == *after) << "kill " << kill << ": " << left->size() << " bytes";
  }
  edit();
  EXPECT_EQ(platform::readFile(path()), *after) << "a change after a cut one goes through";
}

TEST_F(VCardAddressBookTest, AHundredThousandCardsAreResolvedByTheirPrefix) {
  std::string file;
  for (int i = 0; i < 100000; ++i) {
    const std::string n = std::to_string(i);
    file += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Person " + n + "\r\nN:Person;" + n + ";;;\r\nEMAIL:p" + n +
            "@example.jp\r\nEND:VCARD\r\n";
  }
  write(file);
  VCardAddressBook book(path());
  const auto choices = book.resolve("p99999@");
  ASSERT_EQ(choices.size(), 1u);
  EXPECT_EQ(choices[0].address, "p99999@example.jp");
  EXPECT_EQ(book.resolve("person").size(), NameIndex::kChoiceLimit) << "a wide prefix gives a bounded list";
  EXPECT_EQ(book.findByAddress("p0@example.jp")->name, "Person 0");
}

}  // namespace
}  // namespace zorvik::addressbook
