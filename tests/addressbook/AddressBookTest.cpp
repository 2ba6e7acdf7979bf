// The address book over a vCard file: cards as other programs write them
// (vCard 2.1, 3.0, 4.0), written back so they read them, resolved and
// stepped through as the compose window completes addresses, and changed
// by several writers at once without losing an entry.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "addressbook/AddressCompleter.h"
#include "addressbook/VCardAddressBook.h"
#include "addressbook/VCardReader.h"
#include "addressbook/VCardWriter.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
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
