#include "UiFixture.h"

#include <QInputMethodEvent>

#include <cstdlib>

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/TrayFile.h"
#include "support/CliRunner.h"
#include "support/DemoStore.h"

namespace zorvik::ui {
namespace {

// One application object for the whole test program.
class QtEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "zorvik_ui_tests";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { application_.reset(); }

private:
  std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

UiFixture::UiFixture() : messages(std::make_unique<core::Messages>(reporter)) {
  platform::FileLock::setRetry({3, std::chrono::milliseconds(5)});
  // Nothing of the user's: hand-off sockets, launchers and registrations stay here.
  ::setenv("XDG_RUNTIME_DIR", scratch.path().c_str(), 1);
  ::setenv("HOME", scratch.file("home").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", scratch.file("home/.config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", scratch.file("home/.local/share").c_str(), 1);
  layout = std::make_unique<view::LayoutStore>(scratch.file("registry.ini"));
}

UiFixture::~UiFixture() {
  window.reset();
  platform::FileLock::setRetry({});
}

void UiFixture::makeStore() {
  const std::string printed = test::makeDemoStore(scratch.file("demo"));
  ASSERT_FALSE(printed.empty());
  settingsPath = platform::utf8ToSjis(printed);
  document = mailflow::Document::load(settingsPath, *messages);
  ASSERT_TRUE(document);
}

MainWindow& UiFixture::openWindow() {
  closeWindow();
  MainWindowOptions options;
  options.settingsName = "taro";
  options.listenForHandOff = false;
  options.ask = [this](const std::string& caption, const std::string&) {
    asked.push_back(platform::sjisToUtf8(caption));
    return answer;
  };
  options.chooseSavePath = [this](const QString& suggestion) {
    return QString::fromStdString(scratch.file("saved/")) + suggestion;
  };
  window = std::make_unique<MainWindow>(*document, *messages, *layout, options);
  window->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  return *window;
}

void UiFixture::closeWindow() {
  if (!window) return;
  window->close();
  window.reset();
  // Windows closed with the main one (compose, address book) go now.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int UiFixture::cli(std::vector<std::string> args) const {
  args.insert(args.begin(), {"--settings", platform::sjisToUtf8(settingsPath), "--yes"});
  return test::runCli(args, scratch.path(), {"HOME=" + scratch.file("home")}).exitCode;
}

int UiFixture::liveMails(const std::string& tray) const {
  const auto count = store::TrayFile(document->store(), sjis(tray)).count(false);
  return count ? static_cast<int>(*count) : -1;
}

void UiFixture::typeText(QWidget* widget, const QString& text) {
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(widget, &commit);
}

std::string UiFixture::sjis(const std::string& utf8) { return platform::utf8ToSjis(utf8); }

}  // namespace zorvik::ui
