#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/DocumentOpen.h"
#include "store/PostOpen.h"
#include "store/StoreLayout.h"
#include "store/TrayFile.h"
#include "store/TrayPropertyFile.h"
#include "store/TrayPropertyTable.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::store {
namespace {

using core::MessageNumber;

struct FatalEnded : std::runtime_error {
  FatalEnded() : std::runtime_error("fatal") {}
};

class StartUpTest : public ::testing::Test {
protected:
  StartUpTest() {
    messages.setTerminate([] { throw FatalEnded(); });
    platform::makeDirectory(dir.file("program"));
    platform::makeDirectory(dir.file("current"));
    platform::makeDirectory(dir.file("desktop"));
    places.programDirectory = dir.file("program") + "/";
    places.currentDirectory = dir.file("current");
    places.programFile = dir.file("program/zorvik");
    places.desktopDirectory = dir.file("desktop");
  }

  bool firstRun(const std::string& address) {
    FirstRunFlow flow(settings, messages, places);
    return flow.run(AccountSetup{platform::utf8ToSjis("山田"), address, "pw"});
  }
  // Message numbers shown so far, as "No." numbers of the captions.
  std::vector<core::MessageNumber> shown() const { return reporter.numbers(); }
  bool nothingWritten() const {
    return platform::listDirectory(dir.file("program")).empty() && platform::listDirectory(dir.file("current")).empty();
  }

  test::ScratchDir dir;
  test::RecordingReporter reporter;
  core::Messages messages{reporter};
  core::SettingsFile settings;
  StartUpPlaces places;
};

TEST_F(StartUpTest, RefusedAccountsWriteNothing) {
  EXPECT_FALSE(FirstRunFlow(settings, messages, places).run(std::nullopt));
  EXPECT_FALSE(firstRun("taro.example.jp"));
  EXPECT_FALSE(firstRun("taro@example.org"));
  EXPECT_FALSE(firstRun("@example.jp"));
  EXPECT_FALSE(firstRun("a/b@example.jp"));
  EXPECT_FALSE(firstRun("..@example.jp"));
  EXPECT_EQ(shown(), (std::vector<MessageNumber>{MessageNumber::AddressWithoutAt, MessageNumber::AddressWithoutDomain,
                                                 MessageNumber::TreeNameEmpty, MessageNumber::ForbiddenNameCharacter,
                                                 MessageNumber::ForbiddenNameCharacter}));
  EXPECT_TRUE(nothingWritten());
  EXPECT_TRUE(platform::listDirectory(dir.file("desktop")).empty());
}

TEST_F(StartUpTest, FirstRunWritesSettingsNamedAfterTheAccountAndBuildsTheStore) {
  ASSERT_TRUE(firstRun("TARO@EXAMPLE.JP")) << "domains are compared without regard to case";
  const std::string file = dir.file("current/TARO.xm9");
  EXPECT_EQ(settings.fileName(), file);
  EXPECT_TRUE(platform::isRegularFile(file));
  EXPECT_EQ(settings.text(core::item::kStoreRoot), dir.file("program/TARO"));
  EXPECT_EQ(settings.text(core::item::kPopUser), "TARO@EXAMPLE.JP");
  EXPECT_EQ(settings.text(core::item::kSenderAddress), "TARO@EXAMPLE.JP");
  EXPECT_EQ(settings.text(core::item::kSenderName), platform::utf8ToSjis("山田"));
  EXPECT_EQ(settings.plainPassword(core::item::kPopPassword), "pw");
  EXPECT_EQ(settings.text(core::item::kTreeStructureFile), dir.file("program/ZuvuRidi.XM7"));
  EXPECT_TRUE(TrayFile(StoreLocation::fromSettings(settings), platform::utf8ToSjis("新着受信")).exists());
  EXPECT_TRUE(shown().empty());

  const auto launcher = platform::readFile(dir.file("desktop/Zorvik(TARO).desktop"));
  ASSERT_TRUE(launcher);
  EXPECT_NE(launcher->find("Exec=\"" + dir.file("program/zorvik") + "\" \"" + file + "\"\n"), std::string::npos);
}

// The account dialog proposes TLS on the ports that carry it from the first
// byte; an account that declines keeps the plain protocol and its ports.
TEST_F(StartUpTest, FirstRunProposesTlsUnlessDeclined) {
  for (const bool secure : {true, false}) {
    core::SettingsFile fresh;
    FirstRunFlow flow(fresh, messages, places);
    ASSERT_TRUE(flow.run(AccountSetup{"n", secure ? "tls@example.jp" : "plain@example.jp", "pw", secure}));
    EXPECT_EQ(fresh.number(core::item::kPopSecurity), secure ? 2 : 0) << secure;
    EXPECT_EQ(fresh.number(core::item::kPopPort), secure ? 995 : 110) << secure;
    EXPECT_EQ(fresh.number(core::item::kSmtpSecurity), secure ? 2 : 0) << secure;
    EXPECT_EQ(fresh.number(core::item::kSmtpPort), secure ? 465 : 25) << secure;
    EXPECT_EQ(fresh.number(core::item::kSmtpAuthMethod), secure ? 1 : 0) << secure;
  }
}

TEST_F(StartUpTest, TreeStructureFileIsReadIntoTheNewStore) {
  TrayProperties properties = defaultTrayProperties();
  properties.sortKeyword = "ml";
  const std::string tree = formatTrayPropertyFile({{true, "List", {}}, {false, "List/ml", properties}});
  ASSERT_TRUE(platform::writeFileAtomically(dir.file("program/ZuvuRidi.XM7"), tree));
  ASSERT_TRUE(firstRun("taro@example.jp"));
  EXPECT_EQ(TrayFile(StoreLocation::fromSettings(settings), "List/ml").properties(), properties);
}

TEST_F(StartUpTest, DamagedTreeStructureFileAndMissingDesktopDoNotStopTheStart) {
  ASSERT_TRUE(platform::writeFileAtomically(dir.file("program/ZuvuRidi.XM7"), "##1001:x\r\n"));
  places.desktopDirectory = dir.file("no-desktop");
  ASSERT_TRUE(firstRun("taro@example.jp"));
  EXPECT_EQ(shown(), (std::vector<MessageNumber>{MessageNumber::SettingsFileLineError}))
      << "no desktop, no launcher and no complaint";
  EXPECT_FALSE(platform::pathExists(dir.file("no-desktop")));
}

TEST_F(StartUpTest, AnExistingAccountIsKeptUnlessTheUserAsksForANewStart) {
  ASSERT_TRUE(firstRun("taro@example.jp"));
  // A launcher that cannot be written on a desktop that exists is worth a word.
  ASSERT_TRUE(platform::removeFile(dir.file("desktop/Zorvik(taro).desktop")));
  ASSERT_TRUE(platform::makeDirectory(dir.file("desktop/Zorvik(taro).desktop")));
  const std::string file = settings.fileName();
  settings.setText(core::item::kSenderName, "kept");
  ASSERT_TRUE(settings.save(messages));
  EXPECT_FALSE(firstRun("taro@example.jp"));
  EXPECT_EQ(shown(), (std::vector<MessageNumber>{MessageNumber::RebuildExistingSettings}));
  core::SettingsFile reread;
  ASSERT_TRUE(reread.load(file, messages));
  EXPECT_EQ(reread.text(core::item::kSenderName), "kept");

  reporter.setAnswer(true);
  ASSERT_TRUE(firstRun("taro@example.jp"));
  EXPECT_EQ(shown(),
            (std::vector<MessageNumber>{MessageNumber::RebuildExistingSettings, MessageNumber::RebuildExistingSettings,
                                        MessageNumber::NoDesktopShortcut}));
  EXPECT_TRUE(platform::pathExists(core::backupNameOf(file)));
}

TEST_F(StartUpTest, OpenWithoutAFileRunsTheFirstRunFlow) {
  DocumentOpen document(settings, messages, places);
  EXPECT_FALSE(document.open(dir.file("current/missing.xm9"), [] { return std::nullopt; }));
  EXPECT_TRUE(nothingWritten());
  ASSERT_TRUE(document.open(dir.file("current/missing.xm9"),
                            [] { return AccountSetup{"n", "hanako@example.com", ""}; }));
  EXPECT_TRUE(platform::isRegularFile(dir.file("current/hanako.xm9"))) << "named after the account";
  EXPECT_FALSE(platform::pathExists(dir.file("current/missing.xm9")));
}

class OpenExistingTest : public StartUpTest {
protected:
  void SetUp() override {
    ASSERT_TRUE(firstRun("taro@example.jp"));
    file = settings.fileName();
  }
  bool open() {
    core::SettingsFile fresh;
    const bool result = DocumentOpen(fresh, messages, places).open(file, {});
    opened = fresh.text(core::item::kWorkFolder);
    topCabinet = fresh.topCabinetPath();
    return result;
  }
  std::string file;
  std::string opened;
  std::string topCabinet;
};

TEST_F(OpenExistingTest, DamagedSettingsAreRewrittenOnlyWhenTheUserAgrees) {
  const std::string brokenFile = "##0201:x\r\n" + dir.file("program/taro") + "\r\n##0603:x\r\n";
  ASSERT_TRUE(platform::writeFileAtomically(file, brokenFile));
  EXPECT_FALSE(open());
  EXPECT_EQ(shown(), (std::vector<MessageNumber>{MessageNumber::SettingsFileLineError, MessageNumber::RewriteSettings}))
      << "the reader's fault, then the question";
  EXPECT_EQ(platform::readFile(file), brokenFile);

  reporter.setAnswer(true);
  EXPECT_TRUE(open());
  EXPECT_EQ(platform::readFile(core::backupNameOf(file)), brokenFile);
  core::SettingsFile reread;
  EXPECT_TRUE(reread.load(file, messages));
  EXPECT_EQ(reread.text(core::item::kStoreRoot), dir.file("program/taro")) << "values read before the fault are kept";
}

TEST_F(OpenExistingTest, RelativeWorkFolderIsResolvedAgainstTheProgramDirectory) {
  settings.setText(core::item::kWorkFolder, "work");
  ASSERT_TRUE(settings.save(messages, file));
  ASSERT_TRUE(open());
  EXPECT_EQ(opened, dir.file("program/work"));
  EXPECT_TRUE(platform::isDirectory(dir.file("program/work/ed")));
  EXPECT_FALSE(platform::pathExists(dir.file("current/work")));
}

TEST_F(OpenExistingTest, MissingStoreIsBuiltOnlyAfterAsking) {
  ASSERT_TRUE(platform::removeTree(dir.file("program/taro")));
  EXPECT_FALSE(open());
  EXPECT_EQ(shown(), (std::vector<MessageNumber>{MessageNumber::BuildStore}));
  EXPECT_FALSE(platform::pathExists(dir.file("program/taro")));
  reporter.setAnswer(true);
  EXPECT_TRUE(open());
  EXPECT_TRUE(platform::isDirectory(topCabinet + "/.inc"));
}

TEST_F(OpenExistingTest, UnrepairableSystemTrayAndFileInPlaceOfTheStoreFail) {
  const std::string trash = TrayFile(StoreLocation::fromSettings(settings), platform::utf8ToSjis("ごみ箱")).path(filetype::kIndex);
  ASSERT_TRUE(platform::writeFileAtomically(trash, "not an index"));
  EXPECT_FALSE(open());
  EXPECT_EQ(shown(), (std::vector<MessageNumber>{MessageNumber::SystemTraysBroken}));

  ASSERT_TRUE(platform::removeTree(settings.topCabinetPath()));
  ASSERT_TRUE(platform::writeFileAtomically(settings.topCabinetPath(), "a file"));
  reporter.setAnswer(true);
  EXPECT_FALSE(open());
  EXPECT_EQ(shown(), (std::vector<MessageNumber>{MessageNumber::SystemTraysBroken, MessageNumber::StoreNotBuilt}))
      << "no question: building cannot succeed";
}

TEST_F(OpenExistingTest, UnwritableSettingsOnRewriteShowError40804) {
  ASSERT_TRUE(platform::writeFileAtomically(file, "##0201:x\r\n"));
  // A folder where the new file would be written first blocks the write,
  // whoever runs the test.
  ASSERT_TRUE(platform::makeDirectory(file + ".new"));
  reporter.setAnswer(true);
  EXPECT_FALSE(open());
  EXPECT_EQ(shown(),
            (std::vector<MessageNumber>{MessageNumber::SettingsFileLineError, MessageNumber::RewriteSettings,
                                        MessageNumber::SettingsFileNotCreated, MessageNumber::SettingsNotWritten}));
}

TEST(PostOpen, TimeZoneGoesIntoTheEnvironment) {
  core::SettingsFile settings;
  settings.setText(core::item::kTimeZone, "UTC0");
  applyTimeZone(settings);
  EXPECT_STREQ(std::getenv("TZ"), "UTC0");
  settings.setText(core::item::kTimeZone, "");
  applyTimeZone(settings);
  EXPECT_STREQ(std::getenv("TZ"), "JST-9");
}

}  // namespace
}  // namespace zorvik::store
