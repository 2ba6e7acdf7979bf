#include <gtest/gtest.h>

#include <sstream>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/CliRunner.h"
#include "support/TestEnvironment.h"

namespace zorvik {
namespace {

// A scratch folder that is also the home of the child process, so the
// desktop launcher of a first start lands in it and nowhere else.
class StoreCli : public ::testing::Test {
protected:
  StoreCli() {
    platform::makeDirectory(dir.file("home"));
    platform::makeDirectory(dir.file("home/Desktop"));
  }

  test::CliResult run(std::vector<std::string> args) const {
    return test::runCli(args, dir.path(), {"HOME=" + dir.file("home"), "XDG_CONFIG_HOME=" + dir.file("home/.config")});
  }
  test::CliResult init(const std::string& sub, const std::string& address = "taro@example.jp") const {
    return run({"init", "--name", "山田", "--address", address, "--password", "pw", "--dir", dir.file(sub)});
  }
  test::CliResult in(const std::string& settings, std::vector<std::string> args) const {
    args.insert(args.begin(), {"--settings", settings});
    return run(args);
  }
  // Japanese names on disk are UTF-8: these paths are given as on disk.
  std::string onDisk(const std::string& utf8) const { return platform::sjisPath(dir.file(utf8)); }

  test::ScratchDir dir;
};

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST_F(StoreCli, InitBuildsTheStoreAndTraysListsIt) {
  const auto result = init("z");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string settings = dir.file("z/taro.xm9");
  EXPECT_EQ(result.out, settings + "\n");
  for (const char* name : {"新着受信", "未送信", "送信済み", "ごみ箱", "メールサーバ", "送信原稿", "検索結果"}) {
    const std::string base = onDisk(std::string("z/taro/すべてのトレイ/") + name);
    const auto index = platform::readFile(base + ".XM1");
    ASSERT_TRUE(index) << name;
    ASSERT_GT(index->size(), 8u);
    EXPECT_EQ(static_cast<unsigned char>((*index)[0]) | static_cast<unsigned char>((*index)[1]) << 8, index->size())
        << "the index holds only its head";
    EXPECT_EQ(index->substr(4, 4), std::string("\x07\x10\x00\x01", 4));
    EXPECT_EQ(platform::fileSize(base + ".XM0"), 0u) << name;
  }
  const auto listing = in(settings, {"trays"});
  ASSERT_EQ(listing.exitCode, 0) << listing.err;
  const auto rows = lines(listing.out);
  ASSERT_EQ(rows.size(), 7u) << listing.out;
  EXPECT_NE(std::find(rows.begin(), rows.end(), "new\t新着受信\t0\t0"), rows.end()) << listing.out;
  EXPECT_NE(std::find(rows.begin(), rows.end(), "trash\tごみ箱\t0\t0"), rows.end()) << listing.out;
  EXPECT_NE(std::find(rows.begin(), rows.end(), "server\tメールサーバ\t0\t0"), rows.end()) << listing.out;

  // The settings carry the account.
  EXPECT_EQ(in(settings, {"get", "502"}).out, "taro@example.jp\n");
  EXPECT_EQ(in(settings, {"get", "501"}).out, "山田\n");
  EXPECT_EQ(in(settings, {"get", "804"}).out, "pw\n");
  EXPECT_EQ(in(settings, {"get", "201"}).out, dir.file("z/taro") + "\n");
  EXPECT_EQ(in(settings, {"check"}).exitCode, 0);

  const auto launcher = platform::readFile(dir.file("home/Desktop/Zorvik(taro).desktop"));
  ASSERT_TRUE(launcher);
  EXPECT_NE(launcher->find("\"" + settings + "\""), std::string::npos) << *launcher;
}

TEST_F(StoreCli, RefusedAddressesCreateNoFile) {
  auto result = init("z", "taro.example.jp");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("No.3022"), std::string::npos) << result.err;
  EXPECT_FALSE(platform::pathExists(dir.file("z")));

  result = init("z", "taro@example.org");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("No.3023"), std::string::npos) << result.err;
  EXPECT_FALSE(platform::pathExists(dir.file("z")));

  result = init("z", "../../evil@example.jp");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("No.204"), std::string::npos) << result.err;
  EXPECT_FALSE(platform::pathExists(dir.file("z")));
  EXPECT_FALSE(platform::pathExists(dir.file("evil.xm9")));

  EXPECT_EQ(run({"init", "--name", "x"}).exitCode, 2);
}

TEST_F(StoreCli, WithoutADesktopFolderTheStartGoesOnWithoutComplaint) {
  platform::removeDirectory(dir.file("home/Desktop"));
  const auto result = init("z");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "") << "a server has no desktop to put a launcher on";
}

TEST_F(StoreCli, CheckRebuildsAMissingSystemTrayAndAsksForAMissingStore) {
  ASSERT_EQ(init("z").exitCode, 0);
  const std::string settings = dir.file("z/taro.xm9");
  ASSERT_TRUE(platform::removeFile(onDisk("z/taro/すべてのトレイ/ごみ箱.XM1")));
  EXPECT_EQ(in(settings, {"check"}).exitCode, 0);
  EXPECT_TRUE(platform::pathExists(onDisk("z/taro/すべてのトレイ/ごみ箱.XM1")));

  ASSERT_TRUE(platform::removeTree(dir.file("z/taro")));
  auto result = in(settings, {"--no", "check"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("No.801"), std::string::npos) << result.err;
  EXPECT_FALSE(platform::pathExists(dir.file("z/taro")));
  result = in(settings, {"--yes", "check"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(platform::pathExists(onDisk("z/taro/すべてのトレイ/ごみ箱.XM1")));
}

TEST_F(StoreCli, CheckRecoversMailsLeftInTheWorkFile) {
  ASSERT_EQ(init("z").exitCode, 0);
  const std::string settings = dir.file("z/taro.xm9");
  const std::string workFile = onDisk("z/taro/すべてのトレイ/.tmp/RxMail.XM0");
  const std::string mail = "From \r\nFrom: a@example.jp\r\nSubject: left over\r\n\r\nbody\r\n";
  ASSERT_TRUE(platform::writeFileAtomically(workFile, mail));
  auto result = in(settings, {"--yes", "check"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.err.find("No.4111"), std::string::npos) << result.err;
  EXPECT_FALSE(platform::pathExists(workFile));
  EXPECT_NE(in(settings, {"trays"}).out.find("new\t新着受信\t1\t"), std::string::npos);

  ASSERT_TRUE(platform::writeFileAtomically(workFile, mail));
  result = in(settings, {"--no", "check"});
  ASSERT_EQ(result.exitCode, 0);
  EXPECT_NE(result.err.find("No.4204"), std::string::npos) << result.err;
  EXPECT_FALSE(platform::pathExists(workFile));
  int setAside = 0;
  for (const auto& entry : platform::listDirectory(platform::directoryOf(workFile)))
    setAside += entry.name.starts_with("RxMail-");
  EXPECT_EQ(setAside, 1) << "declined: kept under a dated name, not thrown away";
  EXPECT_NE(in(settings, {"trays"}).out.find("new\t新着受信\t1\t"), std::string::npos);
}

TEST_F(StoreCli, PropAndFlagsReadAndWriteOneTray) {
  ASSERT_EQ(init("z").exitCode, 0);
  const std::string settings = dir.file("z/taro.xm9");
  EXPECT_EQ(in(settings, {"prop", "新着受信", "1002"}).out, "00010008\n");
  EXPECT_EQ(in(settings, {"prop", "新着受信", "1003"}).out, "受信したばかりの未整理メール\n");
  ASSERT_EQ(in(settings, {"prop", "新着受信", "1005", "キー"}).exitCode, 0);
  EXPECT_EQ(in(settings, {"prop", "新着受信", "1005"}).out, "キー\n");
  ASSERT_EQ(in(settings, {"prop", "新着受信", "1007", "a@x.jp\nb@x.jp"}).exitCode, 0);
  EXPECT_EQ(in(settings, {"prop", "新着受信", "1007"}).out, "a@x.jp\nb@x.jp\n");

  EXPECT_EQ(in(settings, {"prop", "新着受信", "1017", "abc"}).exitCode, 2);
  EXPECT_EQ(in(settings, {"prop", "新着受信", "1001"}).exitCode, 2);
  EXPECT_EQ(in(settings, {"prop", "無い", "1002"}).exitCode, 1);
  EXPECT_EQ(in(settings, {"prop", "../../x", "1002"}).exitCode, 1);

  auto result = in(settings, {"flags", "新着受信", "+delete-tray", "-no-name-keyword"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "0000000A\tdelete-tray\tsystem\n");
  EXPECT_EQ(in(settings, {"flags", "新着受信"}).out, result.out);
  EXPECT_EQ(in(settings, {"flags", "新着受信", "+nonsense"}).exitCode, 2);
  EXPECT_EQ(in(settings, {"flags", "新着受信", "autosort"}).exitCode, 2);
  EXPECT_EQ(in(settings, {"flags", "新着受信"}).out, result.out) << "a refused change changes nothing";
}

// The tree to carry over: a cabinet with a ".Default" tray, a sub-cabinet
// and trays with their own properties, written as a property file by hand.
std::string treeFile() {
  return platform::utf8ToSjis(
      ";;Zorvik:トレイプロパティ\r\n"
      "##1000:x\r\n1\r\n##1001:x\r\n仕事\r\n##9999:x\r\n"
      "##1000:x\r\n0\r\n##1001:x\r\n仕事/.Default\r\n##1002:x\r\n00000036\r\n##1005:x\r\n既定\r\n##9999:x\r\n"
      "##1000:x\r\n1\r\n##1001:x\r\n仕事/会議\r\n##9999:x\r\n"
      "##1000:x\r\n0\r\n##1001:x\r\n仕事/会議/議事録\r\n##1006:x\r\nSubject=議事\r\nFrom=boss\r\n"
      "##1022:x\r\n7\r\n##9999:x\r\n"
      "##1000:x\r\n0\r\n##1001:x\r\n仕事/報告\r\n##1003:x\r\n週報\r\n##9999:x\r\n"
      ";;END------------------------------------------\r\n");
}

TEST_F(StoreCli, ExportedCabinetRebuildsTheSameTreeInAnEmptyStore) {
  ASSERT_EQ(init("a").exitCode, 0);
  const std::string first = dir.file("a/taro.xm9");
  ASSERT_TRUE(platform::writeFileAtomically(dir.file("tree.XM7"), treeFile()));
  auto result = in(first, {"import-tree", dir.file("tree.XM7")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  ASSERT_EQ(in(first, {"export-tree", "仕事", dir.file("out.XM7")}).exitCode, 0);

  const auto exported = platform::readFile(dir.file("out.XM7")).value();
  const std::string cabinetRecord = platform::utf8ToSjis("\r\n仕事\r\n##9999:終了\r\n");
  const auto at = exported.find(cabinetRecord);
  ASSERT_NE(at, std::string::npos);
  const auto nextPath = exported.find("##1001", at + cabinetRecord.size());
  ASSERT_NE(nextPath, std::string::npos);
  EXPECT_EQ(exported.find(platform::utf8ToSjis("\r\n仕事/.Default\r\n"), nextPath), exported.find("\r\n", nextPath))
      << "the .Default record follows its cabinet's record";

  ASSERT_EQ(init("b", "hanako@example.com").exitCode, 0);
  const std::string second = dir.file("b/hanako.xm9");
  result = in(second, {"import-tree", dir.file("out.XM7")});
  ASSERT_EQ(result.exitCode, 0) << result.err;

  const auto firstTrays = in(first, {"trays"}).out;
  EXPECT_EQ(firstTrays, in(second, {"trays"}).out);
  EXPECT_NE(firstTrays.find("tray\t仕事/会議/議事録\t0\t0"), std::string::npos) << firstTrays;
  // Exporting the rebuilt cabinet gives the same file byte for byte: the
  // same trays, in the same order, with every property the same.
  ASSERT_EQ(in(second, {"export-tree", "仕事", dir.file("again.XM7")}).exitCode, 0);
  EXPECT_EQ(platform::readFile(dir.file("again.XM7")), exported);
  EXPECT_EQ(in(second, {"prop", "仕事/.Default", "1005"}).out, "既定\n");
  EXPECT_EQ(in(second, {"prop", "仕事/会議/議事録", "1006"}).out, "Subject=議事\nFrom=boss\n");
}

TEST_F(StoreCli, PropertyFilesCannotWriteOutsideTheStore) {
  ASSERT_EQ(init("z").exitCode, 0);
  const std::string settings = dir.file("z/taro.xm9");
  const std::string hostile = platform::utf8ToSjis(";;Zorvik:トレイプロパティ\r\n") +
                              "##1000:x\r\n1\r\n##1001:x\r\n../../../escaped\r\n##9999:x\r\n"
                              "##1000:x\r\n0\r\n##1001:x\r\n" + dir.file("abs") + "\r\n##9999:x\r\n"
                              "##1000:x\r\n0\r\n##1001:x\r\nA/../../../up\r\n##9999:x\r\n";
  ASSERT_TRUE(platform::writeFileAtomically(dir.file("bad.XM7"), hostile));
  const auto result = in(settings, {"import-tree", dir.file("bad.XM7")});
  EXPECT_EQ(result.exitCode, 0) << "bad records are skipped, the read goes on";
  EXPECT_NE(result.err.find("No.190"), std::string::npos) << result.err;
  EXPECT_FALSE(platform::pathExists(dir.file("escaped")));
  EXPECT_FALSE(platform::pathExists(dir.file("abs.XM1")));
  EXPECT_FALSE(platform::pathExists(dir.file("up.XM1")));
  EXPECT_FALSE(platform::pathExists(dir.file("z/up.XM1")));
  EXPECT_EQ(in(settings, {"export-tree", "../..", dir.file("x.XM7")}).exitCode, 1);
  EXPECT_FALSE(platform::pathExists(dir.file("x.XM7")));
}

TEST_F(StoreCli, GarbagePropertyFileGivesMessagesNotACrash) {
  ASSERT_EQ(init("z").exitCode, 0);
  const std::string settings = dir.file("z/taro.xm9");
  std::string garbage;
  for (int i = 0; i < 200; ++i) garbage += "##" + std::to_string(i * 7919 % 10007) + "\x81\xff\r\n\x00\x1a\r\n";
  ASSERT_TRUE(platform::writeFileAtomically(dir.file("garbage.XM7"), garbage));
  const auto result = in(settings, {"import-tree", dir.file("garbage.XM7")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("No.190"), std::string::npos);
  EXPECT_EQ(in(settings, {"trays"}).out.find("cabinet"), std::string::npos);
  EXPECT_EQ(in(settings, {"import-tree", dir.file("none.XM7")}).exitCode, 1);

  // A missing settings file names no store; the defaults would put the top
  // cabinet at "/すべてのトレイ".
  ASSERT_TRUE(platform::writeFileAtomically(dir.file("tree.XM7"), treeFile()));
  const auto rootless = in(dir.file("rootless.xm9"), {"import-tree", dir.file("tree.XM7")});
  EXPECT_EQ(rootless.exitCode, 1);
  EXPECT_NE(rootless.err.find("No.4200"), std::string::npos) << rootless.err;
  EXPECT_FALSE(platform::pathExists(platform::sjisPath("/すべてのトレイ")));
}

}  // namespace
}  // namespace zorvik
