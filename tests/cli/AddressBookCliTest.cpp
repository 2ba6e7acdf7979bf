// zorvik-cli abook: the address book over addressbook.vcf in the store
// root. A vCard file made here goes in and comes out again whole (every
// entry, every property, every folded line), entries are added, changed, found,
// registered from a tray's send groups and removed, and nothing happens
// while settings item 116 is off.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "support/CliAccount.h"

namespace zorvik {
namespace {

// Written as the address book writes: vCard 3.0, CR LF, folded at 75 bytes.
const std::string kCards =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:山田 太郎\r\nN:山田;太郎;;;\r\nNICKNAME:たろう\r\n"
    "EMAIL;TYPE=INTERNET:taro@example.jp\r\nEMAIL;TYPE=INTERNET,WORK:yamada@work.example.jp\r\n"
    "TITLE:課長\r\nORG:Example;営業;東京\r\n"
    "NOTE:一行目\\n二行目。この注記は長いので七十五バイト\r\n を超えたところで折り返されて次の行に続く\r\n"
    "TEL;TYPE=CELL:+81-90-0000-0000\r\nX-PHONETIC-LAST-NAME:やまだ\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ken\r\nN:;Ken;;;\r\nEMAIL:ken@example.com\r\nEND:VCARD\r\n";

class AddressBookCli : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(account.ready()) << account.initError();
    ASSERT_EQ(cli({"set", "116", "1"}).exitCode, 0);
  }
  test::CliResult cli(std::vector<std::string> args) const { return account.run(std::move(args)); }

  test::CliAccount account;
};

TEST_F(AddressBookCli, ImportThenExportGivesBackEveryEntryPropertyAndFold) {
  ASSERT_TRUE(platform::writeFileAtomically(account.file("in.vcf"), kCards));
  const auto imported = cli({"abook", "import", account.file("in.vcf")});
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_EQ(imported.out, "2\n");
  EXPECT_EQ(cli({"abook", "import", account.file("in.vcf")}).out, "0\n") << "known addresses are not added twice";
  ASSERT_EQ(cli({"abook", "export", account.file("out.vcf")}).exitCode, 0);
  EXPECT_EQ(platform::readFile(account.file("out.vcf")), kCards);

  EXPECT_EQ(cli({"abook", "list"}).out,
            "山田 太郎\tたろう\ttaro@example.jp,yamada@work.example.jp\t課長\tExample\t営業\t東京\t"
            "一行目\\n二行目。この注記は長いので七十五バイトを超えたところで折り返されて次の行に続く\n"
            "Ken\t\tken@example.com\t\t\t\t\t\n");
  EXPECT_EQ(cli({"abook", "find", "山田"}).out,
            "山田 太郎 <taro@example.jp>\t山田 太郎\ttaro@example.jp\n"
            "山田 太郎 <yamada@work.example.jp>\t山田 太郎\tyamada@work.example.jp\n");
  EXPECT_EQ(cli({"abook", "find", "--address", "KEN@example.com"}).out, "Ken\t\tken@example.com\t\t\t\t\t\n");
}

TEST_F(AddressBookCli, EntriesAreAddedRegisteredFromATrayAndRemovedOnlyWhileTheBookIsOn) {
  EXPECT_EQ(cli({"abook", "add", "佐藤 花子", "hanako@example.jp"}).exitCode, 0);
  EXPECT_EQ(cli({"abook", "add", "鈴木 <suzuki@example.jp>"}).exitCode, 0);
  ASSERT_EQ(cli({"mktray", "仕事"}).exitCode, 0);
  ASSERT_EQ(cli({"prop", "仕事", "1007", "佐藤 花子 <hanako@example.jp>\r\n田中 <tanaka@example.jp>"}).exitCode, 0);
  ASSERT_EQ(cli({"prop", "仕事", "1008", "boss@example.jp"}).exitCode, 0);
  const auto registered = cli({"abook", "add", "--tray", "仕事"});
  EXPECT_EQ(registered.exitCode, 0) << registered.err;
  EXPECT_EQ(registered.out, "tanaka@example.jp\nboss@example.jp\n") << "a known address is passed over";
  EXPECT_EQ(cli({"abook", "find", "tanaka"}).out, "田中 <tanaka@example.jp>\t田中\ttanaka@example.jp\n");
  EXPECT_EQ(cli({"abook", "find", "鈴木"}).out, "鈴木 <suzuki@example.jp>\t鈴木\tsuzuki@example.jp\n");

  EXPECT_EQ(cli({"abook", "update", "TANAKA@example.jp", "--name", "田中 一郎", "--reading", "たなか", "--company",
                 "田中商店", "--addresses", "tanaka@example.jp, ichiro@example.jp"})
                .exitCode,
            0);
  EXPECT_EQ(cli({"abook", "find", "--address", "ichiro@example.jp"}).out,
            "田中 一郎\t田中\ttanaka@example.jp,ichiro@example.jp\t\t田中商店\t\t\t\n");
  EXPECT_EQ(cli({"abook", "find", "たなか"}).exitCode, 0) << "found by its reading";
  EXPECT_EQ(cli({"abook", "update", "nobody@example.jp", "--name", "x"}).exitCode, 1);
  EXPECT_EQ(cli({"abook", "update", "tanaka@example.jp", "--colour", "red"}).exitCode, 2);

  EXPECT_EQ(cli({"abook", "remove", "hanako@example.jp"}).out, "1\n");
  EXPECT_EQ(cli({"abook", "find", "佐藤"}).exitCode, 1);
  EXPECT_EQ(cli({"abook", "remove", "nobody@example.jp"}).exitCode, 1);

  ASSERT_EQ(cli({"set", "116", "0"}).exitCode, 0);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"abook", "list"}, {"abook", "find", "tanaka"}, {"abook", "add", "x", "x@example.jp"}}) {
    const auto off = cli(args);
    EXPECT_EQ(off.exitCode, 1);
    EXPECT_EQ(off.out, "");
    EXPECT_NE(off.err.find("116"), std::string::npos) << off.err;
  }
  ASSERT_EQ(cli({"set", "116", "1"}).exitCode, 0);
  EXPECT_EQ(cli({"abook", "find", "x@"}).exitCode, 1) << "nothing was added while the book was off";
  EXPECT_EQ(cli({"abook", "frobnicate"}).exitCode, 2);
}

}  // namespace
}  // namespace zorvik
