// The mail property sheet's content, and saving an attachment from it.
#include "view/MailProperties.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/TrayAttachments.h"
#include "support/TrayBuilder.h"

namespace zorvik::view {
namespace {

TEST(MailProperties, FieldsHeaderAndAttachmentsOfAStoredMailAndSavingNeverOverwrites) {
  test::TrayBuilder trays;
  const store::TrayFile tray = trays.createTray("inbox");
  store::MailText mail;
  mail.separator = "From taro@example.jp";
  mail.header = {"From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <taro@example.jp>", "To: hanako@example.jp",
                 "Subject: report", "Date: Tue, 10 Feb 2026 09:30:00 +0900", "Message-Id: <r1@example.jp>",
                 "X-Zorvik-AttachDir: r1.inc"};
  mail.body = {"body"};
  store::IndexRecord record;
  const auto index = tray.appendMail(mail, record);
  ASSERT_TRUE(index.has_value());
  const std::string folder = platform::joinPath(store::TrayAttachments::root(trays.store(), "inbox"), "r1.inc");
  std::filesystem::create_directories(folder);
  test::TrayBuilder::write(folder + "/plan.pdf", "PDF");

  const auto shown = MailProperties::of(trays.store(), "inbox", *index, 9);
  ASSERT_TRUE(shown.has_value());
  const auto field = [&](const std::string& name) {
    for (const auto& [label, value] : shown->info)
      if (label == name) return value;
    return std::string("<none>");
  };
  EXPECT_EQ(field(platform::sjisLiteral("件名")), "report");
  EXPECT_EQ(field("To"), "hanako@example.jp");
  EXPECT_EQ(field(platform::sjisLiteral("送信時刻")), "2026/02/10 09:30:00");
  EXPECT_EQ(field("MsgId"), "r1@example.jp");
  EXPECT_NE(shown->header.find("X-Zorvik-AttachDir: r1.inc"), std::string::npos);
  ASSERT_EQ(shown->attachments.size(), 1u);
  EXPECT_EQ(shown->attachments[0].size, 3u);

  test::ScratchDir out;
  EXPECT_EQ(MailProperties::save(shown->attachments[0], out.path()), out.file("plan.pdf"));
  EXPECT_FALSE(MailProperties::save(shown->attachments[0], out.path()).has_value()) << "never over a file";
  MailProperties::Attachment escaping = shown->attachments[0];
  escaping.name = "../../escape.pdf";
  EXPECT_EQ(MailProperties::save(escaping, out.path()), out.file("escape.pdf")) << "stays in the folder";
  EXPECT_FALSE(MailProperties::of(trays.store(), "inbox", 99, 9).has_value());
}

}  // namespace
}  // namespace zorvik::view
