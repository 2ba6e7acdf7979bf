// Pictures every dialog of the desktop client with Japanese sample data:
//
//     zorvik_dialog_gallery OUTPUT_FOLDER
//
// writes one PNG per dialog into OUTPUT_FOLDER (made when missing) and
// prints each path. Each picture carries a strip with the window's title
// above the dialog, since an X server without a window manager draws no
// title bar and the captions are part of what is to be checked. Run it
// under a real X server (xvfb-run -a) to see the fonts a user would get.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <stdexcept>

#include "core/Messages.h"
#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "platform/TextEncoding.h"
#include "sorting/SortingLog.h"
#include "store/StoreLayout.h"
#include "ui/AccountSetupDialog.h"
#include "ui/LowDiskSpaceDialog.h"
#include "ui/ProgressPanel.h"
#include "ui/QtReporter.h"
#include "ui/SendReceiveDialog.h"
#include "ui/ServerTrayDialog.h"
#include "ui/SortingLogWindow.h"
#include "ui/SortingNotice.h"
#include "ui/QtText.h"
#include "ui/TrayTransferDialog.h"

namespace zorvik::ui {
namespace {

using platform::utf8ToSjis;

// Keeps the boxes that core::Messages asks for instead of showing them.
class KeptBoxes final : public core::Reporter {
public:
  struct Box {
    core::MessageKind kind;
    std::string caption;
    std::string text;
  };
  bool show(core::MessageKind kind, const std::string& caption, const std::string& text) override {
    boxes.push_back({kind, caption, text});
    return true;
  }
  std::vector<Box> boxes;
};

struct FatalShown {};

class Gallery {
public:
  explicit Gallery(const QString& folder) : folder_(folder) {}

  // The window with a title strip above it.
  void picture(QWidget& window, const QString& name) {
    window.show();
    window.adjustSize();
    QApplication::processEvents();
    const QPixmap content = window.grab();
    const int strip = window.fontMetrics().height() + 12;
    QImage image(content.width(), content.height() + strip, QImage::Format_ARGB32);
    image.fill(window.palette().color(QPalette::Window));
    QPainter painter(&image);
    painter.fillRect(0, 0, image.width(), strip, QColor(0x3c, 0x3f, 0x44));
    painter.setPen(Qt::white);
    painter.setFont(window.font());
    painter.drawText(QRect(10, 0, image.width() - 20, strip), Qt::AlignVCenter | Qt::AlignLeft, window.windowTitle());
    painter.drawPixmap(0, strip, content);
    painter.end();
    window.hide();
    const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
    if (!image.save(path)) throw std::runtime_error("cannot write " + path.toStdString());
    std::printf("%s\n", path.toLocal8Bit().constData());
  }

  void box(const KeptBoxes::Box& kept, const QString& name) {
    const auto shown = QtReporter::makeBox(kept.kind, fromSjis(kept.caption),
                                           QtReporter::shownText(kept.kind, kept.text));
    picture(*shown, name);
  }

private:
  QString folder_;
};

// A store with the system trays and a sample account, in a scratch folder.
std::unique_ptr<mailflow::Document> sampleDocument(const QString& root, core::Messages& messages) {
  core::SettingsFile settings;
  settings.setText(core::item::kStoreRoot, root.toStdString());
  settings.setText(core::item::kPopServer, "pop.example.jp");
  settings.setText(core::item::kPopUser, "taro");
  settings.setPlainPassword(core::item::kPopPassword, "secret");
  settings.setText(core::item::kSmtpServer, "smtp.example.jp");
  settings.setNumber(core::item::kUseUidl, 1);
  settings.setText(core::item::kBackupFolder, utf8ToSjis("/home/taro/バックアップ"));
  settings.setText(core::item::kImportFolder, utf8ToSjis("/media/usb/古いメール"));
  settings.setText(core::item::kExportFolder, utf8ToSjis("/home/taro/書き出し"));
  settings.updateDerivedValues();
  if (!store::createStore(settings)) throw std::runtime_error("no sample store");
  return std::make_unique<mailflow::Document>(std::move(settings), messages);
}

void messageBoxes(Gallery& gallery) {
  KeptBoxes kept;
  core::Messages messages(kept);
  messages.setTerminate([] { throw FatalShown{}; });
  messages.question(core::MessageNumber::DeleteTrayAndMails, {utf8ToSjis("仕事/会議")});
  messages.information(core::MessageNumber::SearchInterrupted);
  messages.error(core::MessageNumber::SettingsNotWritten, {utf8ToSjis("/home/taro/taro.xm9")});
  messages.bug(105);
  try {
    messages.fatal(core::MessageNumber::WorkFileNotMoved);
  } catch (const FatalShown&) {
  }
  const char* const names[] = {"message-question", "message-information", "message-error", "message-bug",
                               "message-fatal"};
  for (std::size_t i = 0; i < kept.boxes.size(); ++i) gallery.box(kept.boxes[i], QString::fromLatin1(names[i]));
  LowDiskSpaceDialog lowSpace(fromSjis(core::Messages::text(core::MessageNumber::LowDiskSpace, {})));
  gallery.picture(lowSpace, QStringLiteral("low-disk-space"));
}

void storeDialogs(Gallery& gallery, mailflow::Document& document, const QString& scratch) {
  AccountSetupDialog account;
  account.nameField()->setText(QStringLiteral("山田 太郎"));
  account.addressField()->setText(QStringLiteral("taro@example.jp"));
  account.passwordField()->setText(QStringLiteral("secret"));
  gallery.picture(account, QStringLiteral("account-setup"));

  const std::string selection = utf8ToSjis("仕事/会議");
  TrayTransferDialog backup(document, view::TransferKind::Backup, selection);
  gallery.picture(backup, QStringLiteral("backup"));
  TrayTransferDialog import(document, view::TransferKind::Import, selection);
  gallery.picture(import, QStringLiteral("import"));
  TrayTransferDialog exportDialog(document, view::TransferKind::Export, selection);
  exportDialog.findChildren<QCheckBox*>().at(1)->setChecked(true);  // focused tray only
  exportDialog.progress()->report(QStringLiteral("MERGE...仕事/会議 : 1200"), -1);
  gallery.picture(exportDialog, QStringLiteral("export"));

  const QString logPath = QDir(scratch).filePath(QStringLiteral("振分ログ.txt"));
  const sorting::SortingLog log(toSjis(logPath), 9);
  const std::int64_t morning = 1770683400;  // 2026-02-10 09:30 JST
  for (int i = 0; i < 12; ++i) {
    sorting::SortingDecision decision{i % 4 == 3, i % 5 == 4, utf8ToSjis("新着受信"),
                                      "20260210." + std::to_string(1000 + i) + "@mail.example.jp",
                                      i % 6 == 5 ? "" : utf8ToSjis(i % 2 ? "仕事/会議" : "趣味/写真部")};
    log.append(decision, morning + i * 97, document.messages());
  }
  SortingLogWindow logWindow(log);
  gallery.picture(logWindow, QStringLiteral("sorting-log"));
  const auto notice = SortingNotice::makeBox(QStringLiteral("来週の定例会議について"), QStringLiteral("仕事/会議"));
  gallery.picture(*notice, QStringLiteral("sorting-notice"));
}

void serverDialogs(Gallery& gallery, mailflow::Document& document) {
  SendReceiveDialog sendReceive(document, SendReceiveDialog::Mode::SendAndReceive);
  gallery.picture(sendReceive, QStringLiteral("send-receive"));
  SendReceiveDialog running(document, SendReceiveDialog::Mode::SendAndReceive);
  running.startButton()->setEnabled(false);
  running.progress()->report(QStringLiteral("受信:3  45%"), 45);
  gallery.picture(running, QStringLiteral("send-receive-running"));

  const struct {
    ServerTrayWork work;
    const char* name;
  } works[] = {{ServerTrayWork::HeaderReceive, "server-header-receive"},
               {ServerTrayWork::ReceiveSelected, "server-receive-selected"},
               {ServerTrayWork::DeleteSelected, "server-delete-selected"},
               {ServerTrayWork::Counters, "server-counters"},
               {ServerTrayWork::Send, "server-send"}};
  for (const auto& each : works) {
    ServerTrayDialog dialog(document, each.work, {0, 1});
    gallery.picture(dialog, QString::fromLatin1(each.name));
  }
  ServerTrayDialog counted(document, ServerTrayWork::Counters);
  counted.cleanUpSwitch()->setChecked(true);
  counted.progress()->end(ServerTrayDialog::countersText({25, 20, 3, 2, 20}, true), true);
  gallery.picture(counted, QStringLiteral("server-counters-done"));
}

}  // namespace
}  // namespace zorvik::ui

// What fontconfig and D-Bus keep for Qt until the process ends is no
// leak of ours; an AddressSanitizer build would otherwise fail the run.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: zorvik_dialog_gallery OUTPUT_FOLDER\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "zorvik_dialog_gallery: cannot make %s\n", argv[1]);
    return 1;
  }
  QTemporaryDir scratch;
  zorvik::ui::QtReporter reporter;
  zorvik::core::Messages messages(reporter);
  try {
    zorvik::ui::Gallery gallery(folder);
    const auto document = zorvik::ui::sampleDocument(scratch.filePath(QStringLiteral("store")), messages);
    zorvik::ui::messageBoxes(gallery);
    zorvik::ui::storeDialogs(gallery, *document, scratch.path());
    zorvik::ui::serverDialogs(gallery, *document);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "zorvik_dialog_gallery: %s\n", error.what());
    return 1;
  }
  return 0;
}
