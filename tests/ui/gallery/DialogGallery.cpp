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
#include "GalleryMain.h"
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
#include "ui/DialUpDialog.h"
#include "ui/KeyCaptureDialog.h"
#include "ui/MailPropertyDialog.h"
#include "ui/StartPasswordDialog.h"
#include "ui/ToolBarDialog.h"
#include "view/CommandTable.h"
#include "view/KeyPresets.h"
#include "ui/ImportDialog.h"
#include "ui/SettingsPageForm.h"
#include "ui/SettingsSheet.h"
#include "ui/TipDialog.h"
#include "ui/RuleTestDialog.h"
#include "ui/TrayPropertyDialog.h"
#include "store/TrayFile.h"
#include "store/TreeOperations.h"
#include "view/EnvironmentPages.h"
#include "view/TrayPropertySheet.h"
#include <QFile>
#include <QListWidget>
#include <QTabWidget>
#include <QTimer>

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

// The settings sheet page by page, its sub-dialogs, the tray property
// sheet, the tips, the import and the dial-up dialogs.
void settingsDialogs(Gallery& gallery, mailflow::Document& document, const QString& scratch) {
  SettingsSheet sheet(document, document.messages());
  for (int i = 0; i < sheet.tabs()->count(); ++i) {
    sheet.tabs()->setCurrentIndex(i);
    gallery.picture(sheet, QStringLiteral("settings-%1").arg(i + 1));
    int detail = 0;
    for (const view::SettingsPage& sub : view::environmentPages()[static_cast<std::size_t>(i)].details) {
      auto* button = static_cast<QPushButton*>(sheet.page(i)->detailButton(sub.title));
      const QString name = QStringLiteral("settings-%1-detail-%2").arg(i + 1).arg(++detail);
      QTimer::singleShot(0, [&gallery, name] {
        auto* shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!shown) return;
        gallery.picture(*shown, name);
        shown->reject();
      });
      button->click();
    }
  }
  sheet.hide();

  const std::string tray = utf8ToSjis("仕事/会議");
  store::TreeOperations tree(store::StoreLocation::fromSettings(document.settings()), document.settings(),
                             document.messages());
  tree.createCabinet(utf8ToSjis("仕事"));
  tree.createTray(tray);
  platform::SilentSound silence;
  // Every button the main window gives the sheet.
  const TrayPropertyActions actions{[] {}, [] {}, [](const core::ItemValues&) {}};
  if (auto properties = view::TrayPropertySheet::forTrays(store::StoreLocation::fromSettings(document.settings()), {tray})) {
    TrayPropertyDialog trayDialog(*properties, document.messages(), silence, actions);
    for (int i = 0; i < trayDialog.tabs()->count(); ++i) {
      trayDialog.tabs()->setCurrentIndex(i);
      gallery.picture(trayDialog, QStringLiteral("tray-properties-%1").arg(i + 1));
    }
  }
  TrayPropertyDialog cabinetDialog(
      view::TrayPropertySheet::forCabinet(store::StoreLocation::fromSettings(document.settings()), utf8ToSjis("仕事")),
      document.messages(), silence, actions);
  gallery.picture(cabinetDialog, QStringLiteral("cabinet-properties"));

  const QString tipsPath = QDir(scratch).filePath(QStringLiteral("tips.txt"));
  QFile tips(tipsPath);
  tips.open(QIODevice::WriteOnly);
  tips.write("; sample\nトレイを右ボタンでドラッグすると、放した所で「移動」「コピー」「リンク」を選べます。\n");
  tips.close();
  TipDialog tipDialog(tipsPath.toStdString(), {}, document.messages());
  gallery.picture(tipDialog, QStringLiteral("tips"));
  TipDialog noTips("", {}, document.messages());
  gallery.picture(noTips, QStringLiteral("tips-missing"));

  ImportDialog importTray(tray, std::nullopt);
  importTray.kindList()->setCurrentRow(3);
  importTray.sourceField()->setText(QStringLiteral("/home/taro/Becky/Inbox.mbx"));
  gallery.picture(importTray, QStringLiteral("import-other-mailer"));
  ImportDialog importCabinet("", utf8ToSjis("仕事"));
  gallery.picture(importCabinet, QStringLiteral("import-other-mailer-cabinet"));

  DialUpDialog dialUp({utf8ToSjis("ﾓﾊﾞｲﾙ回線"), "taro", "secret", ""}, {utf8ToSjis("ﾓﾊﾞｲﾙ回線"), "office-vpn"});
  gallery.picture(dialUp, QStringLiteral("dial-up"));
  DiallingWindow dialling;
  dialling.start({utf8ToSjis("ﾓﾊﾞｲﾙ回線"), "taro", "", ""});
  dialling.state(2, utf8ToSjis("デバイス接続中"));
  gallery.picture(dialling, QStringLiteral("dial-up-dialling"));
  DialUpErrorWindow dialUpError({utf8ToSjis("ﾓﾊﾞｲﾙ回線"), "taro", "secret", utf8ToSjis("本社")},
                                "Error: Connection activation failed: (53) The modem could not be found.");
  gallery.picture(dialUpError, QStringLiteral("dial-up-error"));

  view::RuleTestReport report;
  report.matched = true;
  report.reason = utf8ToSjis("振分論理式");
  report.outcome = utf8ToSjis("正常終了");
  report.header = utf8ToSjis(
      "From: 佐藤花子 <hanako@example.jp>\r\nTo: 山田太郎 <taro@example.jp>\r\nSubject: [会議] 来週の定例会議について\r\n"
      "Date: Mon, 30 Nov 2026 09:12:00 +0900\r\nMessage-ID: <m1@example.jp>");
  report.body = utf8ToSjis("山田さん\r\n\r\n来週の定例会議は12月7日(月)10時〜12時、第2会議室です。\r\n"
                           "議題があればご連絡ください。\r\n\r\n佐藤");
  RuleTestDialog ruleTest(report);
  gallery.picture(ruleTest, QStringLiteral("rule-test"));

  KeyCaptureDialog keys(view::MacroTable::editor(), view::editorKeyPresets()[2].definition, true);
  gallery.picture(keys, QStringLiteral("key-capture"));
  const view::CommandTable commands = view::CommandTable::standard();
  ToolBarDialog bars(commands, {});
  gallery.picture(bars, QStringLiteral("tool-bar-editor"));
  StartPasswordDialog password("");
  gallery.picture(password, QStringLiteral("start-password"));
  PasswordSetDialog setPassword;
  gallery.picture(setPassword, QStringLiteral("start-password-set"));

  view::MailProperties mail;
  mail.info = {{"From", utf8ToSjis("山田 太郎 <taro@example.jp>")}, {utf8ToSjis("件名"), utf8ToSjis("来週の定例会議について")},
               {"To", "hanako@example.jp"}, {"Cc", ""}, {"Bcc", ""}, {utf8ToSjis("送信時刻"), "2026/02/10 09:30:00"},
               {utf8ToSjis("キー"), ""}, {"Sender", ""}, {"ReplyTo", ""}, {"MsgId", "20260210.1000@mail.example.jp"}};
  mail.header = "From: taro@example.jp\r\nTo: hanako@example.jp\r\nSubject: report\r\n";
  mail.attachments = {{utf8ToSjis("議事録.pdf"), "/nonexistent", 48213}};
  mail.other = {{utf8ToSjis("トレイ"), utf8ToSjis("仕事/会議")}, {utf8ToSjis("番号"), "12"}};
  for (int page = 0; page < 4; ++page) {
    MailPropertyDialog properties(mail, page);
    gallery.picture(properties, QStringLiteral("mail-properties-%1").arg(page + 1));
  }
}

}  // namespace
}  // namespace zorvik::ui

// What fontconfig and D-Bus keep for Qt until the process ends is no
// leak of ours; an AddressSanitizer build would otherwise fail the run.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  return zorvik::ui::runGallery(
      argc, argv, 1, "zorvik_dialog_gallery", "OUTPUT_FOLDER",
      [](const QString& folder, QTemporaryDir& scratch, zorvik::core::Messages& messages) {
        zorvik::ui::Gallery gallery(folder);
        const auto document = zorvik::ui::sampleDocument(scratch.filePath(QStringLiteral("store")), messages);
        zorvik::ui::messageBoxes(gallery);
        zorvik::ui::storeDialogs(gallery, *document, scratch.path());
        zorvik::ui::serverDialogs(gallery, *document);
        zorvik::ui::settingsDialogs(gallery, *document, scratch.path());
      });
}
