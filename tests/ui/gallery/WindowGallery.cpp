// Pictures the main window of the desktop client on a demo store
// (scripts/demo-store.sh), in the states a user sees most:
//
//     zorvik_window_gallery SETTINGS_FILE OUTPUT_FOLDER
//
// details, icons and list views, the thread display, a cabinet's list, the
// menus open (normal and Brisko), a context menu, a tray renamed in place
// with Japanese typed in, a mail with quotes, links and attachments, the
// separate text window, the print preview, the search bar on a hit, and the
// window right after a first start. The whole screen is grabbed, so that open menus are
// in the picture; run it under a real X server (xvfb-run -a -s "-screen 0
// 1280x860x24") without a window manager. Prints each path.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <functional>
#include <stdexcept>

#include "core/Messages.h"
#include "GalleryMain.h"
#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "mailflow/StartUp.h"
#include "platform/TextEncoding.h"
#include "store/StartUpPlaces.h"
#include "ui/MailListModel.h"
#include "ui/MailListPane.h"
#include "ui/MainWindow.h"
#include "ui/QtReporter.h"
#include "ui/ReadingCommands.h"
#include "ui/SearchBar.h"
#include "ui/TrayTreeView.h"
#include "ui/AddressBookWindow.h"
#include "ui/AddressEntryWindow.h"
#include "ui/ComposeCommands.h"
#include "ui/ComposeEditor.h"
#include "ui/ComposeWindow.h"
#include "ui/PreSendCheckDialog.h"
#include "view/CommandId.h"
#include "view/LayoutStore.h"

namespace zorvik::ui {
namespace {

namespace cmd = view::cmd;
using platform::utf8ToSjis;

void settle(int milliseconds = 150) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

class Gallery {
public:
  explicit Gallery(QString folder) : folder_(std::move(folder)) {}

  // The screen around `window`, widened to take in any open menu.
  void picture(QWidget& window, const QString& name) {
    settle();
    QRect area = window.frameGeometry();
    if (QWidget* popup = QApplication::activePopupWidget()) area = area.united(popup->geometry());
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->isVisible() && qobject_cast<QMenu*>(top)) area = area.united(top->geometry());
    const QPixmap screen = window.screen()->grabWindow(0);
    const QString path = QDir(folder_).filePath(name + ".png");
    if (!screen.copy(area.intersected(screen.rect())).save(path)) throw std::runtime_error("cannot write " + path.toStdString());
    std::printf("%s\n", path.toLocal8Bit().constData());
  }

private:
  QString folder_;
};

MainWindowOptions options(const std::string& name) {
  MainWindowOptions options;
  options.settingsName = name;
  options.listenForHandOff = false;
  return options;
}

// Opens the menu bar's `index`th menu and pictures it.
void pictureMenu(Gallery& gallery, MainWindow& window, int index, const QString& name) {
  QAction* top = window.menuBar()->actions().at(index);
  window.menuBar()->setActiveAction(top);
  settle(300);
  gallery.picture(window, name);
  if (QMenu* menu = top->menu()) menu->hide();
  window.menuBar()->setActiveAction(nullptr);
  settle();
}

// Pictures the modal window the next command opens, then closes it.
void pictureModal(Gallery& gallery, MainWindow& window, int command, const QString& name) {
  QTimer::singleShot(600, [&gallery, name] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    gallery.picture(*modal, name);
    modal->close();
  });
  window.runCommand(command);
  settle();
}

// The reading side: a mail with quotes, links and two attachments, the
// separate text window, the print preview, and the search bar on a hit.
void readingPictures(Gallery& gallery, MainWindow& window) {
  window.selectNode(utf8ToSjis("仕事/見積"));
  window.list().selectRow(0);
  gallery.picture(window, "text-view");

  window.list().currentView()->setFocus();
  window.runCommand(cmd::kOpenTextWindow);
  settle(300);
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() != "TxvwFrameC" || !top->isVisible()) continue;
    top->setGeometry(60, 60, 720, 520);
    gallery.picture(*top, "text-window");
    top->close();
  }
  window.activateWindow();
  pictureModal(gallery, window, cmd::kPrintPreview, "print-preview");

  window.selectNode(utf8ToSjis("仕事"));
  window.runCommand(cmd::kFind);  // shows the bar
  window.reading().searchBar().textField().setText(QString::fromUtf8("内訳"));
  for (QAction* action : window.reading().searchBar().actions())
    if (action->text() == QString::fromUtf8("引出指定")) action->setChecked(true);
  window.runCommand(cmd::kFind);
  window.reading().search().waitForEnd(30000);
  gallery.picture(window, "search-hit");
}

void mainWindow(Gallery& gallery, mailflow::Document& document, core::Messages& messages, view::LayoutStore& layout) {
  MainWindow window(document, messages, layout, options("taro"));
  window.setGeometry(0, 0, 1120, 720);
  window.show();
  settle(400);
  window.selectNode(utf8ToSjis("新着受信"));
  window.list().selectRow(1);
  gallery.picture(window, "main-details");

  window.runCommand(cmd::kLargeIcons);
  gallery.picture(window, "main-large-icons");
  window.runCommand(cmd::kListMode);
  gallery.picture(window, "main-list");
  window.runCommand(cmd::kDetails);

  window.selectNode(utf8ToSjis("仕事/会議"));
  window.runCommand(cmd::kThreadDisplay);
  window.list().selectRow(2);
  gallery.picture(window, "main-thread");

  window.selectNode(utf8ToSjis("仕事"));
  window.list().selectRow(0);
  gallery.picture(window, "main-cabinet");

  window.selectNode(utf8ToSjis("新着受信"));
  window.list().selectRow(0);
  pictureMenu(gallery, window, 0, "menu-file");
  pictureMenu(gallery, window, 3, "menu-mail");

  // The context menu of a mail, opened by a right click on it.
  QAbstractItemView* view = window.list().currentView();
  const QPoint at = view->visualRect(window.listModel().index(0, 2)).center();
  QTimer::singleShot(400, [&] {
    gallery.picture(window, "context-mail");
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  });
  QMouseEvent press(QEvent::MouseButtonPress, at, view->viewport()->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, view->viewport()->mapToGlobal(at), Qt::RightButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &release);
  settle();

  // A tray renamed in place: Japanese committed by the input method.
  window.selectNode(utf8ToSjis("友人"));
  window.tree().setFocus();
  window.tree().edit(window.tree().currentIndex());
  settle();
  if (auto* editor = window.tree().findChild<QLineEdit*>()) {
    editor->selectAll();
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("旅行仲間〜2026"));
    QApplication::sendEvent(editor, &commit);
  }
  gallery.picture(window, "rename-in-place");
  if (auto* editor = window.tree().findChild<QLineEdit*>()) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(editor, &escape);
  }

  readingPictures(gallery, window);
  window.close();
}

void briskoWindow(Gallery& gallery, mailflow::Document& document, core::Messages& messages, view::LayoutStore& layout) {
  document.settings().setNumber(core::item::kStartInBriskoMode, 1);
  MainWindow window(document, messages, layout, options("brisko"));
  window.setGeometry(0, 0, 1120, 720);
  window.show();
  settle(400);
  window.selectNode(utf8ToSjis("新着受信"));
  window.list().selectRow(0);
  gallery.picture(window, "brisko-main");
  pictureMenu(gallery, window, 2, "brisko-menu-move");
  pictureMenu(gallery, window, 3, "brisko-menu-mail");
  window.close();
  document.settings().setNumber(core::item::kStartInBriskoMode, 0);
}

// A reply with its locked quotes, Japanese typed below them and two files
// attached; a new mail with a file embedded in its text; the pre-send check of a text with characters that will not
// arrive as written; the address book window.
void composeWindows(Gallery& gallery, mailflow::Document& document, core::Messages& messages,
                    view::LayoutStore& layout, const QString& scratch) {
  document.settings().setNumber(core::item::kUseAddressBook, 1);
  MainWindow window(document, messages, layout, options("taro"));
  window.setGeometry(0, 0, 1000, 640);
  window.show();
  settle(300);
  window.selectNode(utf8ToSjis("新着受信"));
  window.list().selectRow(0);
  window.compose().open(compose::DraftKind::ReplyAll);
  settle(300);
  const auto open = window.compose().windows();
  if (open.empty()) throw std::runtime_error("no compose window");
  ComposeWindow& reply = *open.back();
  reply.setGeometry(40, 40, 760, 600);
  QDir().mkpath(scratch);
  QStringList files;
  for (const char* name : {"見積書.pdf", "写真.jpg"}) {
    QFile file(QDir(scratch).filePath(QString::fromUtf8(name)));
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(12345, 'z'));
    files << file.fileName();
  }
  reply.addAttachments(files);
  reply.setCcShown(true);
  reply.editor().moveCursor(QTextCursor::End);
  QInputMethodEvent preedit(QString::fromUtf8("りょうかいしました"), {});
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("\n承知しました。資料を二つ添付します。\nよろしくお願いいたします。"));
  QApplication::sendEvent(&reply.editor(), &commit);
  QApplication::sendEvent(&reply.editor(), &preedit);
  gallery.picture(reply, "compose-reply");
  reply.discard();
  settle();

  // A new mail whose attachment sits in the text as an object (the drop
  // list off), with a web address drawn in the tag colour.
  window.compose().open(compose::DraftKind::New);
  settle(200);
  ComposeWindow& embedded = *window.compose().windows().back();
  embedded.setGeometry(40, 40, 700, 420);
  embedded.toField().setText("hanako@example.jp");
  embedded.subjectField().setText(QString::fromUtf8("見積書の送付"));
  QInputMethodEvent letter;
  letter.setCommitString(QString::fromUtf8("花子さん\n見積書を添付します。\n"));
  QApplication::sendEvent(&embedded.editor(), &letter);
  embedded.editor().insertAttachments({files.front()});
  QInputMethodEvent closing;
  closing.setCommitString(QString::fromUtf8("詳細は http://www.example.jp/mitsumori/ をご覧ください。"));
  QApplication::sendEvent(&embedded.editor(), &closing);
  gallery.picture(embedded, "compose-embedded-attachment");
  embedded.discard();
  settle();

  window.compose().open(compose::DraftKind::New);
  settle(200);
  ComposeWindow& fresh = *window.compose().windows().back();
  fresh.setGeometry(40, 40, 700, 480);
  QInputMethodEvent text;
  text.setCommitString(QString::fromUtf8("①番の件、㈱山田に確認しました。ﾃｽﾄ送信です。"));
  QApplication::sendEvent(&fresh.editor(), &text);
  fresh.toField().setText("hanako@example.jp");
  // The character check comes after the store's questions: none here.
  document.settings().setNumber(core::item::kWarnNewRecipient, 0);
  fresh.subjectField().setText(QString::fromUtf8("確認の件"));
  QTimer::singleShot(500, [&] {
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* check = qobject_cast<PreSendCheckDialog*>(top); check && check->isVisible()) {
        gallery.picture(*check, "compose-presend-check");
        check->reject();
      }
  });
  fresh.send();
  fresh.discard();
  settle();

  window.compose().openAddressBook();
  settle(200);
  if (AddressBookWindow* book = window.compose().addressBook()) {
    book->addEntry(QString::fromUtf8("鈴木 花子"), "hanako@example.jp");
    book->addEntry(QString::fromUtf8("田中 次郎"), "jiro@example.jp");
    book->addEntry(QString::fromUtf8("佐藤 三郎"), "saburo@example.co.jp");
    book->setGeometry(80, 80, 640, 400);
    gallery.picture(*book, "address-book");
    addressbook::AddressEntry entry;
    entry.name = utf8ToSjis("鈴木 花子");
    entry.reading = utf8ToSjis("すずき はなこ");
    entry.nickname = utf8ToSjis("はなこ");
    entry.addresses = {"hanako@example.jp", "suzuki@example.co.jp"};
    entry.title = utf8ToSjis("課長");
    entry.company = utf8ToSjis("山田商事株式会社");
    entry.department = utf8ToSjis("営業部");
    entry.office = utf8ToSjis("東京本社");
    entry.note = utf8ToSjis("月曜は在宅勤務");
    AddressEntryWindow details(entry, book);
    details.show();
    settle(100);
    gallery.picture(details, "address-entry");
    details.close();
    book->close();
  }
  window.close();
  document.settings().setNumber(core::item::kUseAddressBook, 0);
}

// A first start in an empty folder: the account the dialog would give, the
// store built, the window as it first appears.
void firstRun(Gallery& gallery, core::Messages& messages, const QString& scratch) {
  QDir().mkpath(scratch);
  const std::string folder = utf8ToSjis(scratch.toStdString());
  const store::StartUpPlaces places = store::StartUpPlaces::ofProcess().inDirectory(folder);
  const auto account = [] {
    return std::optional(store::AccountSetup{utf8ToSjis("鈴木花子"), "hanako@example.jp", "secret"});
  };
  auto document = mailflow::StartUp::open("", messages, places, account);
  if (!document) throw std::runtime_error("the first start failed");
  view::LayoutStore layout(folder + "/registry.ini");
  MainWindow window(*document, messages, layout, options("hanako"));
  window.setGeometry(0, 0, 1000, 640);
  window.show();
  gallery.picture(window, "first-run-window");
  window.close();
}

}  // namespace
}  // namespace zorvik::ui

// What fontconfig and D-Bus keep for Qt until the process ends is no
// leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  return zorvik::ui::runGallery(
      argc, argv, 2, "zorvik_window_gallery", "SETTINGS_FILE OUTPUT_FOLDER",
      [argv](const QString& folder, QTemporaryDir& scratch, zorvik::core::Messages& messages) {
        zorvik::ui::Gallery gallery(folder);
        auto document = zorvik::mailflow::Document::load(zorvik::platform::utf8ToSjis(argv[1]), messages);
        if (!document) throw std::runtime_error("cannot open the demo settings");
        zorvik::view::LayoutStore layout(zorvik::platform::utf8ToSjis(scratch.filePath("registry.ini").toStdString()));
        zorvik::ui::mainWindow(gallery, *document, messages, layout);
        zorvik::ui::briskoWindow(gallery, *document, messages, layout);
        zorvik::ui::composeWindows(gallery, *document, messages, layout, scratch.filePath("files"));
        zorvik::ui::firstRun(gallery, messages, scratch.filePath("first"));
      });
}
