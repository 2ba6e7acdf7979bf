// zorvik-cli rebuild on the demo store: an index intact, cut short or gone
// is made anew from the tray's text file with every mail, its read state,
// mark and date, and the links to it; `check` names a tray whose index is
// gone; a name that holds no tray is refused with its message.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/DemoStore.h"
#include "support/TestEnvironment.h"

namespace zorvik {
namespace {

namespace fs = std::filesystem;

enum class Damage { None, CutLastRecord, RemoveIndex };

struct RebuildCase {
  const char* what;
  const char* tray;
  Damage damage;
  int exitCode;
  const char* message;  // on stderr; "" for none
};

const RebuildCase kCases[] = {
    // The sorting left deleted records in the new-mail tray: the rebuild
    // drops them, and the link in 友人 follows its mail to the new number.
    {"intact index", "新着受信", Damage::None, 0, ""},
    {"index cut inside its last record", "仕事/会議", Damage::CutLastRecord, 0, ""},
    {"index missing", "仕事/週報", Damage::RemoveIndex, 0, ""},
    {"no such tray", "仕事/議事録", Damage::None, 1, "No.4210\nトレイ「仕事/議事録」がありません。"},
};

class RebuildCli : public ::testing::Test {
protected:
  RebuildCli() : settings(test::makeDemoStore(dir.file("demo"))) {}

  test::CliResult run(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--settings", settings});
    const std::string home = dir.file("demo/home");
    return test::runCli(args, dir.path(), {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config"});
  }
  // The lines of `list TRAY` without their record index, which a rebuild
  // renumbers when deleted mails drop out.
  std::vector<std::string> mails(const std::string& tray) const {
    const auto listed = run({"list", tray});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    std::vector<std::string> lines;
    std::istringstream in(listed.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(line.find('\t')));
    return lines;
  }
  std::string indexOf(const std::string& tray) const {
    const fs::path account(settings);
    return (account.parent_path() / account.stem() / "すべてのトレイ" / (tray + ".XM1")).string();
  }
  void damage(const RebuildCase& one) const {
    const std::string index = indexOf(one.tray);
    switch (one.damage) {
      case Damage::None: return;
      case Damage::CutLastRecord: fs::resize_file(index, fs::file_size(index) - 100); return;
      case Damage::RemoveIndex: fs::remove(index); return;
    }
  }
  bool shownInTree(const std::string& tray) const {
    return run({"trays"}).out.find("\t" + tray + "\t") != std::string::npos;
  }

  test::ScratchDir dir;
  const std::string settings;
};

TEST_F(RebuildCli, MakesTheIndexAnewFromTheText) {
  ASSERT_FALSE(settings.empty());
  ASSERT_TRUE(fs::is_regular_file(indexOf("仕事/会議"))) << "the demo store has moved";
  for (const RebuildCase& one : kCases) {
    SCOPED_TRACE(one.what);
    const bool isTray = one.exitCode == 0;
    const auto before = isTray ? mails(one.tray) : std::vector<std::string>();
    const auto linked = mails("友人");  // a link into 新着受信
    if (isTray) ASSERT_FALSE(before.empty());
    damage(one);
    const std::string note = "zorvik-cli rebuild " + std::string(one.tray);
    EXPECT_EQ(run({"check"}).err.find(note) != std::string::npos, one.damage == Damage::RemoveIndex);
    EXPECT_EQ(shownInTree(one.tray), isTray && one.damage != Damage::RemoveIndex);

    const auto rebuilt = run({"rebuild", one.tray});
    EXPECT_EQ(rebuilt.exitCode, one.exitCode) << rebuilt.err;
    EXPECT_EQ(rebuilt.out, "");
    if (*one.message) EXPECT_NE(rebuilt.err.find(one.message), std::string::npos) << rebuilt.err;
    else EXPECT_EQ(rebuilt.err, "");
    if (!isTray) continue;
    EXPECT_EQ(mails(one.tray), before);
    EXPECT_EQ(mails("友人"), linked);
    EXPECT_TRUE(shownInTree(one.tray));
    EXPECT_EQ(run({"check"}).err.find(note), std::string::npos);
  }
  EXPECT_EQ(run({"rebuild"}).exitCode, 2);
}

}  // namespace
}  // namespace zorvik
