#include <gtest/gtest.h>

#include <string>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/CliRunner.h"
#include "support/TestEnvironment.h"

namespace zorvik {
namespace {

// A fresh account and store in a scratch folder.
class DeliverCli : public ::testing::Test {
protected:
  void SetUp() override {
    const auto result = test::runCli({"init", "--name", "T", "--address", "me@example.jp", "--dir", dir.path()},
                                     dir.path(), {"HOME=" + dir.path()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    settings = result.out.substr(0, result.out.find('\n'));
  }

  test::CliResult cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--settings", settings});
    return test::runCli(args, dir.path(), {"HOME=" + dir.path()});
  }

  std::string mailFile(const std::string& name, const std::string& text) {
    const std::string path = dir.file(name);
    EXPECT_TRUE(platform::writeFileAtomically(platform::utf8ToSjis(path), text));
    return path;
  }

  // The top cabinet of the store that init made (Shift_JIS path).
  std::string topCabinet() const {
    const std::string folder = platform::directoryOf(platform::utf8ToSjis(settings));
    for (const auto& entry : platform::listDirectory(folder)) {
      const std::string top = platform::joinPath(folder, entry.name + "/" + platform::utf8ToSjis("すべてのトレイ"));
      if (platform::isDirectory(top)) return top;
    }
    return {};
  }

  test::ScratchDir dir;
  std::string settings;
};

const std::string kJpeg("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x02\x00\x00\x01\x00\x01\x00\x00\xFF\xD9", 22);

TEST_F(DeliverCli, MixedMailWithJapaneseTextAndJpegIsStoredWithItsFile) {
  const std::string mail =
      "From: a@example.jp\nTo: me@example.jp\nSubject: =?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=\n"
      "Date: Mon, 07 Dec 2026 09:30:00 +0900\nMessage-ID: <1@example.jp>\nMIME-Version: 1.0\n"
      "Content-Type: multipart/mixed; boundary=\"b\"\n\n--b\nContent-Type: text/plain; charset=ISO-2022-JP\n\n"
      "\x1B$B$3$s$K$A$O\x1B(B\n.dot\n--b\nContent-Type: image/jpeg; name=\"photo.jpg\"\n"
      "Content-Transfer-Encoding: base64\n\n/9j/4AAQSkZJRgABAgAAAQABAAD/2Q==\n--b--\n";
  const auto delivered = cli({"deliver", mailFile("m.eml", mail)});
  ASSERT_EQ(delivered.exitCode, 0) << delivered.err;
  EXPECT_EQ(delivered.out, "0\n");

  const auto shown = cli({"show", "新着受信", "0"});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_NE(shown.out.find("Subject: 日本\n"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("X-Zorvik-AttachDir: 1261207.000\n"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("\nこんにちは\n.dot\n@#MIME \"%:photo.jpg\"\n"), std::string::npos) << shown.out;

  EXPECT_EQ(platform::readFile(topCabinet() + "/.inc/1261207.000/photo.jpg"), kJpeg)
      << "the JPEG is saved byte for byte";

  // Where no attachment can be saved the mail is not stored, and the user is told.
  ASSERT_TRUE(platform::removeTree(topCabinet() + "/.inc"));
  ASSERT_TRUE(platform::writeFileAtomically(topCabinet() + "/.inc", "in the way"));
  const auto refused = cli({"deliver", mailFile("m2.eml", mail)});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("No.1110"), std::string::npos) << refused.err;
  EXPECT_EQ(cli({"list", "新着受信"}).out.find("\n1\t"), std::string::npos) << "no second mail";
}

TEST_F(DeliverCli, ServerFormAndBadInputAreStoredAndAMissingTrayIsRefused) {
  const std::string serverForm = mailFile("s.eml", "Subject: s\r\n\r\n..one dot\r\n.\r\n");
  const std::string noEmptyLine = mailFile("h.eml", "Subject: only a header\nX: y\n");
  std::string random(3000, '\0');
  for (std::size_t i = 0; i < random.size(); ++i) random[i] = static_cast<char>((i * 7919 + 13) % 251);
  const std::string noise = mailFile("r.eml", random);
  const auto delivered = cli({"deliver", serverForm, noEmptyLine, noise});
  ASSERT_EQ(delivered.exitCode, 0) << delivered.err;
  EXPECT_EQ(delivered.out, "0\n1\n2\n");
  EXPECT_NE(cli({"show", "新着受信", "0"}).out.find("\n.one dot\n"), std::string::npos);

  const auto missing = cli({"deliver", "--tray", "no such tray", serverForm});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(cli({"deliver"}).exitCode, 2);
  const auto partly = cli({"deliver", dir.file("absent.eml"), serverForm});
  EXPECT_EQ(partly.exitCode, 1) << "one file could not be read";
  EXPECT_EQ(partly.out, "3\n") << "the others are stored all the same";
}

// A tray whose text file is a folder takes no mail, though its index reads
// fine: the move into it fails after the mails were decoded.
TEST_F(DeliverCli, MailsATrayRefusesWaitInTheWorkFileForTheNextDelivery) {
  ASSERT_EQ(cli({"mktray", "壊れ"}).exitCode, 0);
  const std::string brokenText = topCabinet() + "/" + platform::utf8ToSjis("壊れ.XM0");
  platform::removeFile(brokenText);
  ASSERT_TRUE(platform::makeDirectories(brokenText));
  const std::string workFile = topCabinet() + "/.tmp/RxMail.XM0";

  const auto failed = cli({"deliver", "--tray", "壊れ", mailFile("a.eml", "Subject: kept\n\nbody\n")});
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_NE(failed.err.find("No.4112"), std::string::npos) << failed.err;
  EXPECT_EQ(failed.out, "");
  ASSERT_TRUE(platform::pathExists(workFile)) << "the mail waits in the work file";

  // The next delivery holds the store's lock, so nobody can be writing the
  // work file: the waiting mail goes where it belongs first.
  const auto next = cli({"deliver", mailFile("b.eml", "Subject: later\n\nbody\n")});
  EXPECT_EQ(next.exitCode, 0) << next.err;
  const auto listed = cli({"list", "新着受信"});
  const auto kept = listed.out.find("\tkept\n");
  EXPECT_NE(kept, std::string::npos) << listed.out;
  EXPECT_GT(listed.out.find("\tlater\n"), kept) << listed.out;
  EXPECT_FALSE(platform::pathExists(workFile));
}

TEST_F(DeliverCli, FragmentsAreJoinedAndABadBinHexCrcIsShownWithTheMailStored) {
  const std::string fragment = "From: a@example.jp\nSubject: split\nMIME-Version: 1.0\n"
                               "Content-Type: message/partial; id=\"j1@example.jp\"; number=%; total=2\n\n";
  auto part = [&](char number, const std::string& body) {
    std::string text = fragment;
    text[text.find('%')] = number;
    return mailFile(std::string("f") + number + ".eml", text + body);
  };
  const auto joined =
      cli({"deliver", part('2', "second half\n"), part('1', "Subject: whole\n\nfirst half\n")});
  ASSERT_EQ(joined.exitCode, 0) << joined.err;
  const auto listed = cli({"list", "新着受信"});
  EXPECT_NE(listed.out.find("\twhole\n"), std::string::npos) << "the fragments became one mail: " << listed.out;
  EXPECT_EQ(listed.out.find("split"), std::string::npos) << "and went to the trash: " << listed.out;

  // The data fork's CRC is off by one bit; the file is saved all the same.
  const std::string binHex =
      "From: a@example.jp\nSubject: hqx\nDate: Mon, 07 Dec 2026 09:30:00 +0900\nMIME-Version: 1.0\n"
      "Content-Type: application/mac-binhex40; "
      "name=\"a.hqx\"\n\n(This file must be converted with BinHex 4.0)\n"
      R"BH(:"@%ZG(Kd!&4&@&4dG(Kd!!!!!!!,!!!!!"3G3QPZ5'9i)'4KG'(NN`!!:)BH"
      "\n";
  const auto warned = cli({"deliver", mailFile("h.eml", binHex)});
  EXPECT_EQ(warned.exitCode, 0) << warned.err;
  EXPECT_NE(warned.err.find("BinHex4.0 :\nデータフォークCRCエラー"), std::string::npos) << warned.err;
  EXPECT_FALSE(warned.out.empty()) << "the mail is stored";
  EXPECT_EQ(platform::readFile(topCabinet() + "/.inc/1261207.000/a.hqx"), "BinHex data");
}

}  // namespace
}  // namespace zorvik
