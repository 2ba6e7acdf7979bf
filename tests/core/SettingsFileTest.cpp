#include "core/SettingsFile.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "core/ItemReader.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::core {
namespace {

using platform::sjisLiteral;
using platform::utf8ToSjis;

std::string readBytes(const std::string& path) { return platform::readFile(path).value_or(""); }

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A settings file written the way the program writes it: Shift_JIS, CR LF.
std::string settingsText(const std::string& utf8Lines) {
  std::string sjis = utf8ToSjis(utf8Lines);
  std::string out;
  for (const char c : sjis) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

class SettingsFileTest : public ::testing::Test {
protected:
  test::ScratchDir dir;
  test::RecordingReporter reporter;
  Messages messages{reporter};
  std::string path = dir.file("taro.xm9");

  std::vector<std::string> reasons() const {
    std::vector<std::string> out;
    for (const auto& box : reporter.boxes()) out.push_back(box.text);
    return out;
  }
};

TEST_F(SettingsFileTest, SavedFileHasTheExactLayout) {
  SettingsFile settings;
  settings.setNumber(item::kSmtpPort, 587);
  ASSERT_TRUE(settings.save(messages, path));
  const std::string bytes = readBytes(path);

  EXPECT_EQ(bytes.substr(0, 19), utf8ToSjis(";;Zorvik:個別設定") + "\r\n");
  EXPECT_NE(bytes.find(settingsText(";;---------------------------------------------\n;;0100:システム\n"
                                    ";;---------------------------------------------\n##0101:Zorvik Version\n1002\n")),
            std::string::npos);
  EXPECT_NE(bytes.find(settingsText("##0603:SMTPポート番号\n587\n")), std::string::npos);
  EXPECT_NE(bytes.find(settingsText("##0302:前景色\n00000000\n")), std::string::npos);
  EXPECT_NE(bytes.find(settingsText("##0311:スレッド表示インデント記号\n \n")), std::string::npos);
  EXPECT_NE(bytes.find(settingsText("##0501:送信者名前\n\n")), std::string::npos);
  const std::string tail = settingsText("##1003:復号化パスフレーズ\n\n##9999:終了\n;;END------------------------------------------\n");
  ASSERT_GE(bytes.size(), tail.size());
  EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);

  // Every line ends with CR LF, and every item of the table is there in order.
  int items = 0;
  int previousId = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    const auto end = bytes.find('\n', at);
    ASSERT_NE(end, std::string::npos);
    ASSERT_GT(end, at);
    EXPECT_EQ(bytes[end - 1], '\r') << "line at byte " << at;
    if (bytes.compare(at, 2, "##") == 0) {
      const int id = std::atoi(bytes.c_str() + at + 2);
      EXPECT_GT(id, previousId);
      previousId = id;
      ++items;
    }
    at = end + 1;
  }
  EXPECT_EQ(items, 188 - 10 /* section headings */ + 1 /* end row */);
}

TEST_F(SettingsFileTest, EveryKindSurvivesSaveAndLoad) {
  SettingsFile written;
  written.setNumber(item::kSmtpPort, -17);
  written.setNumber(item::kRegisterMailClient, 1);
  written.setNumber(item::kListForegroundColour, static_cast<std::int32_t>(0xFFFFFFFFu));
  written.setNumber(item::kListUnreadColour, 0x00123456);
  written.setText(item::kStoreRoot, utf8ToSjis("/home/山田/メール"));
  written.setText(item::kJapaneseSignature, utf8ToSjis("--\r\n山田 太郎\r\n\r\n##\r\nend"));
  written.setText(item::kSortOrder, "");
  ASSERT_TRUE(written.save(messages, path));

  SettingsFile read;
  ASSERT_TRUE(read.load(path, messages));
  EXPECT_TRUE(reporter.boxes().empty());
  for (std::size_t row = 0; row < written.table().rows().size(); ++row) {
    EXPECT_EQ(read.numberAt(row), written.numberAt(row)) << "row " << row;
    EXPECT_EQ(read.textAt(row), written.textAt(row)) << "row " << row;
  }
}

// Every text value comes back byte for byte, in a one-line item (the sender's
// name, which keeps only the first line of what it is given) and a
// multi-line one (the signature):
// lines that would read as an item line, a comment or the end marker inject
// nothing and cut nothing, and no CR is lost or added.
TEST_F(SettingsFileTest, TextValuesSurviveSaveAndLoadByteForByte) {
  const std::string values[] = {
      "sig\r\n##0603:x\r\n99",   "name\r\n##0603:x\r\n99", "#####",
      "--\r\n#####\r\ntail",       ";;END------------------------------------------",
      "a\r\n;;comment\r\nb",       utf8ToSjis("##9999:終了\r\n##0603:x\r\n1"),
      "  ##0603:indented",           "x\r",                       "x\r\r\r",
      "\r",                          "a\r\r\nb\r",               "bare\nline feed\n",
      "\r\n",                        "tail\r\n",                  "",
      "#>looks escaped\\n",         "\\(^o^)/ \\n \\",          "##",
  };
  for (const int id : {item::kSenderName, item::kJapaneseSignature}) {
    for (const std::string& value : values) {
      SettingsFile written;
      written.setText(id, value);
      ASSERT_TRUE(written.save(messages, path));
      SettingsFile read;
      ASSERT_TRUE(read.load(path, messages));
      EXPECT_EQ(read.text(id), written.text(id)) << id;
      EXPECT_EQ(read.number(item::kSmtpPort), 25) << id << " " << value;
      EXPECT_EQ(read.text(item::kEnglishSignature), "") << id << " " << value;
      // Saving what was read changes nothing: no drift over many saves.
      ASSERT_TRUE(read.save(messages, path));
      const std::string once = readBytes(path);
      SettingsFile again;
      ASSERT_TRUE(again.load(path, messages));
      ASSERT_TRUE(again.save(messages, path));
      EXPECT_EQ(readBytes(path), once) << id;
    }
  }
  EXPECT_TRUE(reporter.boxes().empty());
}

// A save killed at any moment leaves a complete settings file under its
// name: never none (the next start would run the first-run flow), never a
// half-written one.
TEST_F(SettingsFileTest, SaveKilledAtAnyMomentLeavesACompleteFile) {
  SettingsFile first;
  first.setNumber(item::kSmtpPort, 1000);
  ASSERT_TRUE(first.save(messages, path));
  constexpr int kKills = 60;
  for (int kill = 0; kill < kKills; ++kill) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SettingsFile settings;
      for (int i = 1;; ++i) {
        settings.setNumber(item::kSmtpPort, 1000 + i);
        settings.save(messages, path);
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(300 + 97 * kill));
    ::kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string bytes = readBytes(path);
    ASSERT_TRUE(bytes.ends_with(";;END------------------------------------------\r\n"))
        << "kill " << kill << " left " << bytes.size() << " bytes";
    SettingsFile read;
    ASSERT_TRUE(read.load(path, messages));
    EXPECT_GE(read.number(item::kSmtpPort), 1000);
  }
  EXPECT_TRUE(reporter.boxes().empty());
}

TEST_F(SettingsFileTest, MinimalFileKeepsEveryDefault) {
  writeBytes(path, settingsText(";;Zorvik:個別設定\n##9999:終了\n"));
  SettingsFile settings;
  ASSERT_TRUE(settings.load(path, messages));
  EXPECT_EQ(settings.number(item::kSmtpPort), 25);
  EXPECT_EQ(settings.text(item::kTopCabinet), utf8ToSjis("すべてのトレイ"));
  EXPECT_EQ(settings.number(item::kTextHeaderBackgroundColour), 0x00C8FFFF);
  EXPECT_TRUE(reporter.boxes().empty());
}

TEST_F(SettingsFileTest, ValueConversionsFollowTheCLibrary) {
  writeBytes(path, settingsText("##0406:x\n00a0b0c0\n##0407:x\nzz\n##0603:x\n  587abc\n##0604:x\nabc\n"));
  SettingsFile settings;
  ASSERT_TRUE(settings.load(path, messages));  // no end row: end of file is fine
  EXPECT_EQ(settings.number(item::kSmtpPort), 587);
  EXPECT_EQ(settings.number(item::kSmtpSendTimeout), 0);
  EXPECT_EQ(settings.number(item::kTextHeaderBackgroundColour), 0x00A0B0C0);
  EXPECT_EQ(settings.number(item::kTextHeaderTitleColour), 0x00FF0000);  // no hex digits: the value stays
}

TEST_F(SettingsFileTest, ItemsOutOfOrderAndBadIdsAreUnknown) {
  writeBytes(path, settingsText("##0605:a\n1\n##0604:b\n2\n##0603:c\n3\n##0000:d\n4\n##abc:e\n5\n##9999:終了\n"));
  SettingsFile settings;
  ASSERT_TRUE(settings.load(path, messages));
  EXPECT_EQ(settings.number(item::kSmtpReceiveTimeout), 1);
  // 604 comes after 605: unknown, and the search restarts from the top, so
  // 603 is found again.
  EXPECT_EQ(settings.number(item::kSmtpSendTimeout), 60);
  EXPECT_EQ(settings.number(item::kSmtpPort), 3);
  const auto boxes = reporter.boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].caption, utf8ToSjis("Zorvik:エラー  No.190"));
  const std::string expected =
      utf8ToSjis("個別設定ファイル「") + path + utf8ToSjis("」\n「3」行 :　「##0604:b」のエラーです。\n「不明な設定Idが定義されてる」");
  EXPECT_EQ(boxes[0].text, expected);
  EXPECT_NE(boxes[1].text.find("##0000:d"), std::string::npos);
  EXPECT_NE(boxes[2].text.find("##abc:e"), std::string::npos);
}

TEST_F(SettingsFileTest, MissingValueAndUnfinishedMultiLineFailTheLoad) {
  writeBytes(path, settingsText("##0603:x\n"));
  SettingsFile settings;
  EXPECT_FALSE(settings.load(path, messages));
  ASSERT_EQ(reasons().size(), 1u);
  EXPECT_NE(reasons()[0].find(missingValueReason()), std::string::npos);
  EXPECT_NE(reasons()[0].find("##0603:x"), std::string::npos);

  writeBytes(path, settingsText("##0506:x\nline one\n##\nline three\n"));
  SettingsFile multi;
  EXPECT_FALSE(multi.load(path, messages));
  EXPECT_NE(reasons().back().find(unfinishedMultiLineReason()), std::string::npos);
}

TEST_F(SettingsFileTest, MultiLineItemEndsAtTheNextItemOrComment) {
  writeBytes(path, settingsText("##0506:x\na\n##\n\n;;\nb\n;;comment\n##0507:y\nc\n##9999:終了\n"));
  SettingsFile settings;
  ASSERT_TRUE(settings.load(path, messages));
  EXPECT_EQ(settings.text(item::kJapaneseSignature), "a\r\n##\r\n\r\n;;\r\nb");
  EXPECT_EQ(settings.text(item::kEnglishSignature), "c");
}

TEST_F(SettingsFileTest, GarbageFilesNeverCrashAndReportBoundedly) {
  std::string binary;
  for (int i = 0; i < 200000; ++i) binary += static_cast<char>((i * 7919) % 256);
  for (int i = 0; i < 5000; ++i) binary += "##1\r\n##2\r\n";
  writeBytes(path, binary);
  SettingsFile settings;
  EXPECT_FALSE(settings.load(path, messages));
  EXPECT_LE(reporter.boxes().size(), 20u);

  writeBytes(path, settingsText("##0501:x\n") + std::string(1 << 20, 'A') + "\r\n");
  SettingsFile longLine;
  EXPECT_TRUE(longLine.load(path, messages));
  EXPECT_EQ(longLine.text(item::kSenderName).size(), 1u << 20);

  EXPECT_FALSE(settings.load(dir.file("missing.xm9"), messages));
  EXPECT_FALSE(settings.load(dir.path(), messages));
}

TEST_F(SettingsFileTest, SaveKeepsOnlyTheLatestPreviousVersion) {
  SettingsFile settings;
  settings.setNumber(item::kSmtpPort, 1);
  ASSERT_TRUE(settings.save(messages, path));
  settings.setNumber(item::kSmtpPort, 2);
  ASSERT_TRUE(settings.save(messages));
  settings.setNumber(item::kSmtpPort, 3);
  ASSERT_TRUE(settings.save(messages));
  EXPECT_EQ(settings.fileName(), path);

  SettingsFile backup;
  ASSERT_TRUE(backup.load(dir.file("taro.BAK"), messages));
  EXPECT_EQ(backup.number(item::kSmtpPort), 2);
  SettingsFile current;
  ASSERT_TRUE(current.load(path, messages));
  EXPECT_EQ(current.number(item::kSmtpPort), 3);
}

TEST_F(SettingsFileTest, FailedSaveLeavesThePreviousFile) {
  SettingsFile settings;
  ASSERT_TRUE(settings.save(messages, path));
  const std::string before = readBytes(path);
  // A folder where the new file's temporary name must go makes the write fail.
  ASSERT_TRUE(platform::makeDirectory(path + ".new"));
  settings.setNumber(item::kSmtpPort, 99);
  EXPECT_FALSE(settings.save(messages));
  EXPECT_EQ(readBytes(path), before);
  ASSERT_EQ(reporter.boxes().size(), 1u);
  EXPECT_EQ(reporter.boxes()[0].caption, utf8ToSjis("Zorvik:エラー  No.186"));

  SettingsFile unnamed;
  EXPECT_FALSE(unnamed.save(messages));
}

TEST_F(SettingsFileTest, PasswordsAreStoredScrambled) {
  SettingsFile settings;
  const std::string plain = "p@ss" + utf8ToSjis("日本語") + "\x01\xff";
  settings.setPlainPassword(item::kPopPassword, plain);
  settings.setPlainPassword(item::kDialUpPassword, "secret");
  settings.setPlainPassword(item::kSmtpPassword, "smtp-pass");
  EXPECT_EQ(settings.text(item::kPopPassword).size(), plain.size() * 4);
  EXPECT_EQ(settings.text(item::kPopPassword).find("p@ss"), std::string::npos);
  ASSERT_TRUE(settings.save(messages, path));
  EXPECT_EQ(readBytes(path).find("secret"), std::string::npos);
  EXPECT_EQ(readBytes(path).find("smtp-pass"), std::string::npos);

  SettingsFile read;
  ASSERT_TRUE(read.load(path, messages));
  EXPECT_EQ(read.plainPassword(item::kPopPassword), plain);
  EXPECT_EQ(read.plainPassword(item::kDialUpPassword), "secret");
  EXPECT_EQ(read.plainPassword(item::kSmtpPassword), "smtp-pass");
  EXPECT_EQ(read.plainPassword(item::kPgpPassphrase), "");
}

TEST_F(SettingsFileTest, DerivedValues) {
  SettingsFile settings;
  EXPECT_EQ(settings.timeZoneOffsetHours(), 9);
  EXPECT_EQ(settings.aliases().size(), 2u);
  EXPECT_EQ(settings.workingDirectories().newMailWorkFile, ".tmp/RxMail");

  settings.setText(item::kTimeZone, "EST5EDT");
  settings.setText(item::kDomainAliases, "a.example.jp=example.jp\r\nno pair here\r\nb=c=d");
  settings.setText(item::kWorkFolder, "/var/tmp/zwork");
  settings.setText(item::kStoreRoot, "/home/taro/mail");
  settings.updateDerivedValues();
  EXPECT_EQ(settings.timeZoneOffsetHours(), -5);
  ASSERT_EQ(settings.aliases().size(), 2u);
  EXPECT_EQ(settings.aliases()[1].from, "b");
  EXPECT_EQ(settings.aliases()[1].to, "c=d");
  EXPECT_EQ(settings.workingDirectories().outgoingBodyFile, "/var/tmp/zwork/TxTmpB");
  EXPECT_EQ(settings.workingDirectories().composeFilePattern, "/var/tmp/zwork/ed/Txm%03d");
  EXPECT_EQ(settings.topCabinetPath(), "/home/taro/mail/" + utf8ToSjis("すべてのトレイ"));
  EXPECT_EQ(settings.sortingLogPath(), "/home/taro/mail/" + utf8ToSjis("振分ログ.txt"));

  settings.setText(item::kTimeZone, "UTC");
  settings.updateDerivedValues();
  EXPECT_EQ(settings.timeZoneOffsetHours(), 0);
}

TEST_F(SettingsFileTest, RelativePathsResolveAgainstTheProgramDirectory) {
  SettingsFile settings;
  settings.setText(item::kWorkFolder, "work");
  settings.setText(item::kStoreRoot, "/abs/store");
  settings.setText(item::kImportFolder, "");
  settings.resolveRelativePaths("/opt/zorvik/");
  EXPECT_EQ(settings.text(item::kWorkFolder), "/opt/zorvik/work");
  EXPECT_EQ(settings.text(item::kStoreRoot), "/abs/store");
  EXPECT_EQ(settings.text(item::kImportFolder), "");
  EXPECT_EQ(settings.text(item::kTreeStructureFile), "/opt/zorvik/ZuvuRidi.XM7");
  EXPECT_EQ(settings.workingDirectories().newMailWorkFile, "/opt/zorvik/work/RxMail");
}

TEST(SettingsNames, FromPaths) {
  EXPECT_EQ(settingsNameOf("/home/taro/taro.xm9"), "taro");
  EXPECT_EQ(settingsNameOf("/home/taro/a.b.xm9"), "a.b");
  EXPECT_EQ(settingsNameOf("plain"), "plain");
  EXPECT_EQ(settingsNameOf(""), "Default");
  EXPECT_EQ(settingsNameOf("/home/taro/"), "Default");
  EXPECT_EQ(backupNameOf("/home/t.x/taro.xm9"), "/home/t.x/taro.BAK");
  EXPECT_EQ(backupNameOf("/home/t.x/taro"), "/home/t.x/taro.BAK");
}

TEST(SettingsTable, EveryDescriptionAndDefaultConvertsToShiftJis) {
  for (const ItemRow& row : settingsItemTable().rows()) {
    EXPECT_EQ(platform::sjisToUtf8(row.description).find("\xEF\xBF\xBD"), std::string::npos) << row.id;
    EXPECT_EQ(row.description.find('?'), std::string::npos) << row.id;
  }
  const ItemTable& table = settingsItemTable();
  EXPECT_EQ(table.rows().size(), 189u);
  EXPECT_EQ(table.rows().back().id, 9999);
  EXPECT_EQ(table.rows()[*table.indexOf(519)].defaultText.substr(0, 9), "^93=VSBR,");
  EXPECT_EQ(table.rows()[*table.indexOf(406)].defaultNumber, 0x00C8FFFF);
}

}  // namespace
}  // namespace zorvik::core
