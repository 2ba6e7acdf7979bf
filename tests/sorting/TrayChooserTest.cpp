#include "sorting/TrayChooser.h"

#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/TrayFlags.h"
#include "support/TrayBuilder.h"

namespace zorvik::sorting {
namespace {

using store::trayflag::kAutoSort;
using store::trayflag::kNoNameKeyword;
using store::trayflag::kSendGroup;

class TrayChooserTest : public ::testing::Test {
protected:
  test::TrayBuilder builder;

  // A tray with a rule; flags default to sorting received mail automatically.
  void tray(const std::string& name, const std::string& keyword, const std::string& expression = {},
            const std::string& group = {}, std::uint32_t flags = kAutoSort) {
    if (name.find('/') != std::string::npos)
      platform::makeDirectories(platform::joinPath(builder.store().topCabinetPath(), platform::directoryOf(name)));
    const store::TrayFile file = builder.createTray(name);
    store::TrayProperties properties = *file.properties();
    properties.sortKeyword = keyword;
    properties.sortExpression = expression;
    properties.sendGroupTo = group;
    properties.flags = flags;
    ASSERT_TRUE(file.rewriteProperties(properties));
  }

  TrayChooser chooser(SortSettings settings = {}) {
    return TrayChooser(builder.store(), std::move(settings), [this](const std::string& name) {
      return builder.createTray(name).exists();
    });
  }

  static message::MailRecord mail(std::string tag, std::string from = "stranger@example.com",
                                  std::string subject = "hello") {
    message::MailRecord record;
    record.listTag = std::move(tag);
    record.from = std::move(from);
    record.subject = std::move(subject);
    record.to = "me@example.jp";
    record.flags = message::mailflag::kToUser;
    return record;
  }

  std::optional<std::string> chosen(const message::MailRecord& m, bool manual = false, SortSettings settings = {},
                                    std::string_view order = {}) {
    SortRuleSet rules = SortRuleSet::build(builder.store(), order);
    const SortChoice choice = chooser(std::move(settings)).choose(rules, m, manual);
    if (!choice.rule) return std::nullopt;
    return choice.rule->trayPath;
  }
};

TEST_F(TrayChooserTest, PriorityTrayWinsEvenByItsSendGroupAlone) {
  tray("a-keyword", "ml");
  tray("work/boss", "", "", "boss@example.com", kAutoSort | kSendGroup);
  const auto m = mail("ml", "Boss@Example.com");
  EXPECT_EQ(chosen(m), "a-keyword");
  EXPECT_EQ(chosen(m, false, {}, "work\r\n"), "work/boss");
  EXPECT_EQ(chosen(m, false, {}, "\r\nwork\r\n"), "a-keyword") << "an empty line ends the priority list";
}

TEST_F(TrayChooserTest, RemainingTraysAreTriedKeywordsFirstThenExpressionsThenGroups) {
  tray("1-group", "", "", "boss@example.com", kAutoSort | kSendGroup);
  tray("2-expression", "", "[Subject:] > \"hello\"");
  tray("3-keyword", "ml");
  EXPECT_EQ(chosen(mail("ml", "boss@example.com")), "3-keyword");
  EXPECT_EQ(chosen(mail("", "boss@example.com")), "2-expression");
  EXPECT_EQ(chosen(mail("", "boss@example.com", "bye")), "1-group");
  EXPECT_EQ(chosen(mail("", "other@example.com", "bye")), std::nullopt);
}

TEST_F(TrayChooserTest, AutomaticRunsOnlyConsiderAutoSortingTrays) {
  tray("manual-only", "ml", "", "", 0);
  EXPECT_EQ(chosen(mail("ml"), false), std::nullopt);
  EXPECT_EQ(chosen(mail("ml"), true), "manual-only");
}

TEST_F(TrayChooserTest, TrayNameStandsForAMissingKeyword) {
  tray("Linux", "");
  tray("NoName", "", "", "", kAutoSort | kNoNameKeyword);
  SortSettings names;
  names.trayNameIsKeyword = true;
  EXPECT_EQ(chosen(mail("linux"), false, names), "Linux") << "letter case is ignored";
  EXPECT_EQ(chosen(mail("noname"), false, names), std::nullopt);
  EXPECT_EQ(chosen(mail("linux")), std::nullopt) << "without the setting the name is no keyword";
}

TEST_F(TrayChooserTest, TraysAreMadeFromSafeListTagsOnly) {
  SortSettings create;
  create.createTraysFromTags = true;
  SortRuleSet rules = SortRuleSet::build(builder.store(), {});
  const TrayChooser chooser = this->chooser(create);
  const SortChoice first = chooser.choose(rules, mail("ml"), false);
  ASSERT_TRUE(first.rule);
  EXPECT_TRUE(first.trayCreated);
  EXPECT_EQ(first.rule->trayPath, "ml");
  const SortChoice second = chooser.choose(rules, mail("ML"), false);
  ASSERT_TRUE(second.rule);
  EXPECT_FALSE(second.trayCreated) << "the next mail finds the tray by its name";

  for (const std::string tag : {"..", "../escape", "a/b", ".hidden", "a:b", "x\r\ny"}) {
    SortRuleSet fresh = SortRuleSet::build(builder.store(), {});
    EXPECT_FALSE(chooser.choose(fresh, mail(tag), false).rule) << tag;
  }
  EXPECT_FALSE(platform::pathExists(platform::joinPath(builder.store().root, "escape.XM1")));
  EXPECT_FALSE(platform::pathExists(platform::joinPath(builder.store().topCabinetPath(), "a")));
}

TEST_F(TrayChooserTest, ExistingTrayThatTakesNoPartIsNeverMadeAgain) {
  tray("ml", "", "", "", 0);
  const std::uint32_t index = builder.append(builder.tray("ml"), "kept");
  SortSettings create;
  create.createTraysFromTags = true;
  EXPECT_EQ(chosen(mail("ml"), false, create), std::nullopt);
  store::TrayRecord record;
  EXPECT_EQ(builder.tray("ml").read(index, record), store::ReadResult::Live);
}

TEST_F(TrayChooserTest, TestReportsReasonAndExpressionError) {
  tray("t", "ml", "[Subject:] > \"x\" &", "", kAutoSort);
  const SortRule rule = *readSortRule(builder.store(), "t");
  const auto c = chooser();
  const auto keyword = c.test(rule, mail("[ml]"), RuleTest::Keyword);
  EXPECT_TRUE(keyword.matched);
  EXPECT_EQ(keyword.reason, platform::utf8ToSjis("キーワード一致"));
  const auto expression = c.test(rule, mail("ml"), RuleTest::Expression);
  EXPECT_FALSE(expression.matched);
  EXPECT_EQ(expression.error, 141);
  EXPECT_EQ(expression.reason, platform::utf8ToSjis("振分不一致"));
  EXPECT_FALSE(c.test(rule, mail("ml"), RuleTest::SendGroup).matched) << "the tray does not sort by its group";
}

}  // namespace
}  // namespace zorvik::sorting
