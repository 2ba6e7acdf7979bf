#include <gtest/gtest.h>

#include "platform/TextEncoding.h"
#include "store/TrayFile.h"
#include "support/CliRunner.h"
#include "support/TrayBuilder.h"

namespace zorvik::store {
namespace {

using test::runCli;
using test::TrayBuilder;

class TrayCliTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(cli({"set", "201", builder.store().root}).exitCode, 0);
    ASSERT_EQ(cli({"set", "202", "Top"}).exitCode, 0);
    MailText mail = TrayBuilder::mail("x", 2);
    mail.header[0] = platform::utf8ToSjis("Subject: 会議の件");
    IndexRecord record;
    record.setFlags(0x10);
    record.setDate(1796603400);  // 2026-12-07 00:30:00 UTC
    record.setListAddress("boss@example.jp");
    record.setListName(platform::utf8ToSjis("上司"));
    record.setSubject(platform::utf8ToSjis("会議の件"));
    ASSERT_TRUE(tray.appendMail(mail, record));
    builder.append(tray, "gone");
    ASSERT_TRUE(tray.deleteMail(1, false));
    ASSERT_TRUE(tray.writeLink(std::nullopt, "Inbox", 0));
  }
  test::CliResult cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--settings", settings});
    return runCli(args);
  }

  TrayBuilder builder;
  std::string settings = builder.store().root + "/s.XM9";
  TrayFile tray = builder.createTray("Inbox");
};

TEST_F(TrayCliTest, ListPrintsOneTabSeparatedUtf8LinePerLiveRecord) {
  const auto result = cli({"list", "Inbox"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "0\t00000010\t2026-12-07T09:30:00+09:00\tboss@example.jp\t上司\t会議の件\n"
            "2\t00000012\t2026-12-07T09:30:00+09:00\tboss@example.jp\t上司\t会議の件\n");
}

TEST_F(TrayCliTest, ShowPrintsTheStoredTextOrOnePart) {
  EXPECT_EQ(cli({"show", "Inbox", "0"}).out,
            "Subject: 会議の件\nMessage-Id: <x@example.jp>\n\nline 1\nline 2\n");
  EXPECT_EQ(cli({"show", "Inbox", "2", "--header"}).out, "Subject: 会議の件\nMessage-Id: <x@example.jp>\n");
  EXPECT_EQ(cli({"show", "Inbox", "0", "--body"}).out, "line 1\nline 2\n");
}

TEST_F(TrayCliTest, MissingTraysDeletedMailsAndBadArgumentsFail) {
  EXPECT_EQ(cli({"list", "Nowhere"}).exitCode, 1);
  EXPECT_EQ(cli({"show", "Inbox", "1"}).exitCode, 1);
  EXPECT_EQ(cli({"show", "Inbox", "-1"}).exitCode, 2);
  EXPECT_EQ(cli({"show", "Inbox", "0", "--all"}).exitCode, 2);
  EXPECT_EQ(cli({"list"}).exitCode, 2);
}

}  // namespace
}  // namespace zorvik::store
