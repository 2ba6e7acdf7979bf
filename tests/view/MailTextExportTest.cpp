// Saving a mail as text: the head block, the body, attachments copied
// beside the file without overwriting anything.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "view/MailTextExport.h"
#include "ViewStore.h"

namespace zorvik::view {
namespace {

class MailTextExportTest : public ViewStore {};

TEST_F(MailTextExportTest, WritesHeadBlockBodyAndAttachments) {
  const auto tray = builder.createTray("T");
  store::MailText text;
  text.separator = "From a@example.jp";
  text.header = {"From: Taro <taro@example.jp>", "To: b@example.jp, c@example.jp", "Cc: d@example.jp",
                 sjis("Subject: 会議の件"), "Date: Mon, 07 Dec 2026 09:30:00 +0900",
                 "Received: from mx by pop; Mon, 07 Dec 2026 10:00:00 +0900", "X-Zorvik-AttachDir: 1261207.000"};
  text.body = {sjis("本文です。"), "@#MIME \"%:a.txt\""};
  store::IndexRecord record;
  record.setSubject(sjis("会議の件"));
  const auto index = *tray.appendMail(text, record);
  const std::string inc = store().topCabinetPath() + "/.inc/1261207.000";
  ASSERT_TRUE(platform::makeDirectories(inc));
  platform::writeFileAtomically(inc + "/a.txt", "attached");
  platform::writeFileAtomically(inc + "/b.txt", "also attached");

  const std::string out = builder.store().root + "/saved";
  platform::makeDirectory(out);
  platform::writeFileAtomically(out + "/b.txt", "the user's own file");
  ASSERT_TRUE(MailTextExport::write(store(), "T", index, sjis("山田"), 9, out + "/T0.txt"));

  const std::string rule(56, '-');
  EXPECT_EQ(*platform::readFile(out + "/T0.txt"),
            "Zorvik:山田\n" + rule + "\n件名:会議の件\nFrom:Taro <taro@example.jp>\nTo  :b@example.jp, c@example.jp\n" +
                "Cc  :d@example.jp\n受信:2026/12/07 10:00:00\n" + rule + "\n本文です。\n@#MIME \"%:a.txt\"\n");
  EXPECT_EQ(*platform::readFile(out + "/a.txt"), "attached");
  EXPECT_EQ(*platform::readFile(out + "/b.txt"), "the user's own file");
  EXPECT_EQ(MailTextExport::suggestedName(sjis("仕事/会議"), 12), sjis("会議12.txt"));
  EXPECT_FALSE(MailTextExport::write(store(), "T", 99, "", 9, out + "/none.txt"));
}

}  // namespace
}  // namespace zorvik::view
