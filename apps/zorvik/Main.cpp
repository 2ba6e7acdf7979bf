// The desktop client on Qt. A second start
// hands its request to the instance already running with the same settings
// (a "mailto:" address, or just bringing the window up) and ends; otherwise
// the document opens (first-run dialog when there is no settings file), the
// main window shows with the layout the user left, and at the end the
// layout is saved and the document shut down.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMetaObject>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "mailflow/Shutdown.h"
#include "mailflow/StartUp.h"
#include "platform/FileSystem.h"
#include "platform/MailClientRegistration.h"
#include "platform/TextEncoding.h"
#include "store/StartUpPlaces.h"
#include "ui/AccountSetupDialog.h"
#include "ui/MainWindow.h"
#include "ui/QtReporter.h"
#include "ui/UiLog.h"
#include "view/CommandId.h"
#include "view/InstanceHandOff.h"
#include "view/LayoutStore.h"

namespace {

using namespace zorvik;

bool displayAvailable() {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland")) return true;
  return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

std::vector<std::string> arguments(int argc, char** argv) {
  std::vector<std::string> out;
  for (int i = 1; i < argc; ++i) out.push_back(platform::utf8ToSjis(argv[i]));
  return out;
}

// Where a first start keeps the new account's settings file and store
// ("~/.local/share/zorvik"), not beside the program and in the current
// directory: the program may lie in a build tree that is cleaned, or in a
// folder the user cannot write to, and the current directory is wherever
// the desktop happened to start it. Empty when there is no home.
QString dataFolder() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return data.isEmpty() ? QString() : data + "/zorvik";
}

// The settings file to open: the one named, else the one used last (a
// Linux desktop starts the client without one more often than not).
std::string settingsPathOf(const core::CommandLine& line, const view::LayoutStore& layout) {
  if (!line.fileName.empty()) {
    if (platform::isFullPath(line.fileName)) return line.fileName;
    return platform::joinPath(platform::currentDirectory(), line.fileName);
  }
  if (line.init) return {};
  const std::string last = layout.text("CurUser", "@");
  if (platform::isRegularFile(last)) return last;
  // No account used last (the first start has not ended yet, or the layout
  // store is gone): the one account a first start made.
  const QString data = dataFolder();
  const QStringList made = data.isEmpty() ? QStringList() : QDir(data).entryList({"*.xm9"}, QDir::Files);
  if (made.size() != 1) return {};
  return platform::utf8ToSjis((data + "/" + made.front()).toStdString());
}

store::StartUpPlaces startUpPlaces(const std::string& settingsPath) {
  const store::StartUpPlaces places = store::StartUpPlaces::ofProcess();
  const QString data = dataFolder();
  if (!settingsPath.empty() || data.isEmpty()) return places;
  return places.inDirectory(platform::utf8ToSjis(data.toStdString()));
}

// With ZORVIK_STARTUP_TIMING set, the time from the start of the process to
// the first painted main window goes to stderr ("quit": and the program ends).
class FirstPaint : public QObject {
public:
  FirstPaint(QWidget& window, const QElapsedTimer& clock) : window_(window), clock_(clock) {
    window_.installEventFilter(this);
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && event->type() == QEvent::Paint && !reported_) {
      reported_ = true;
      std::fprintf(stderr, "first paint after %lld ms\n", static_cast<long long>(clock_.elapsed()));
      if (qgetenv("ZORVIK_STARTUP_TIMING") == "quit") QTimer::singleShot(0, qApp, [] { qApp->quit(); });
    }
    return false;
  }

private:
  QWidget& window_;
  const QElapsedTimer& clock_;
  bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  if (!displayAvailable()) {
    std::cerr << "zorvik: no display; start it as `xvfb-run -a ./run.sh`, or use zorvik-cli (`./run.sh --cli help`)\n";
    return 1;
  }
  const core::CommandLine line = core::CommandLine::parse(arguments(argc, argv));
  auto layout = std::make_unique<view::LayoutStore>(line.noreg ? view::LayoutStore::localStorePath()
                                                               : view::LayoutStore::userStorePath());
  std::string settingsPath = settingsPathOf(line, *layout);
  const std::string settingsName = core::settingsNameOf(settingsPath);

  // A second start: the running instance takes the request.
  if (!settingsPath.empty()) {
    const std::string socket = view::InstanceHandOff::socketPath(settingsName);
    const view::HandOffRequest request =
        line.mailto ? view::HandOffRequest{view::HandOffRequest::Kind::Mailto, platform::sjisToUtf8(line.mailtoText)}
                    : view::HandOffRequest{view::HandOffRequest::Kind::Show, {}};
    if (view::InstanceHandOff::send(socket, request)) return 0;
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName("Zorvik");
  QApplication::setOrganizationName("Qel");
  ui::QtReporter reporter;
  core::Messages messages(reporter);

  const store::StartUpPlaces places = startUpPlaces(settingsPath);
  const auto endProgram = [] { std::_Exit(3); };
  auto document = mailflow::StartUp::open(settingsPath, messages, places, ui::AccountSetupDialog::asker(), endProgram);
  if (!document) return 1;
  settingsPath = document->settings().fileName();
  const std::string name = core::settingsNameOf(settingsPath);

  ui::MainWindowOptions options;
  options.settingsName = name;
  options.initialLayout = line.init;
  options.ask = [&reporter](const std::string& caption, const std::string& text) {
    return reporter.show(core::MessageKind::Question, caption, text);
  };
  ui::MainWindow window(*document, messages, *layout, options);
  reporter.setOwner(&window);
  ui::UiLog::global().watch(&window);
  FirstPaint firstPaint(window, clock);
  window.show();

  platform::MailClientRegistration::apply(document->settings().flag(core::item::kRegisterMailClient), name,
                                          platform::utf8ToSjis(QApplication::applicationFilePath().toStdString()),
                                          settingsPath);
  if (line.mailto) {
    const QString address = QString::fromStdString(platform::sjisToUtf8(line.mailtoText));
    QTimer::singleShot(0, &window, [&window, address] { window.startMailTo(address); });
  } else if (document->settings().flag(core::item::kSendReceiveAtStart)) {
    QTimer::singleShot(0, &window, [&window] { window.runCommand(view::cmd::kSendReceive); });
  }

  const int status = application.exec();
  mailflow::Shutdown::run(*document);
  return status;
}
