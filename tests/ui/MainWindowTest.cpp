// The main window on a demo store, driven as a person would: selecting and
// sorting, renaming in place with Japanese typed in, deleting with the
// question answered, the panes' key definitions, history, cut and paste,
// the layout across a restart, and a receive from a real Dovecot started
// from the menu.
#include <QAction>
#include <QHeaderView>
#include <QPushButton>
#include <QTimer>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTreeView>

#include "core/SettingsItemTable.h"
#include "mailflow/StoreLock.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/DovecotServer.h"
#include "support/MessageNumberPrinter.h"
#include "UiFixture.h"
#include "ui/MailListModel.h"
#include "ui/SendReceiveDialog.h"
#include "ui/MailListPane.h"
#include "ui/MailTextView.h"
#include "ui/QtText.h"
#include "ui/TrayTreeModel.h"
#include "ui/TrayTreeView.h"
#include "ui/WorkflowRunner.h"
#include "view/CommandId.h"

namespace zorvik::ui {
namespace {

using core::MessageNumber;
namespace cmd = view::cmd;

class MainWindowTest : public UiFixture {
protected:
  void SetUp() override { makeStore(); }

  // Triggers a command through its menu bar item, as a click would.
  bool triggerMenu(int id) {
    for (QAction* action : window->menuBar()->findChildren<QAction*>()) {
      if (action->data().toInt() != id) continue;
      window->commandEnabled(id);  // what the menu's opening would update
      if (!action->isEnabled()) return false;
      action->trigger();
      return true;
    }
    return false;
  }
  QStringList column(int which) const {
    QStringList out;
    const MailListModel& model = window->listModel();
    for (int row = 0; row < model.rowCount(); ++row) out << model.index(row, which).data().toString();
    return out;
  }
  int boxes(MessageNumber number) const {
    const auto numbers = reporter.numbers();
    return static_cast<int>(std::count(numbers.begin(), numbers.end(), number));
  }
  void press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    widget->setFocus();
    QTest::keyClick(widget, key, modifiers);
  }
};

TEST_F(MainWindowTest, SelectSortAndRead) {
  MainWindow& main = openWindow();
  // The new-mail tray is selected at the first start.
  EXPECT_EQ(main.selectedNode(), sjis("新着受信"));
  EXPECT_EQ(main.listModel().rowCount(), 5);
  EXPECT_EQ(main.statusText(1), QString::fromUtf8("全部：  5"));
  EXPECT_EQ(main.statusText(2), QString::fromUtf8("未読：  3"));

  // A click on the subject header sorts by it; a second click reverses.
  QHeaderView* header = main.list().details()->header();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(2) + 5, 5));
  const QStringList ascending = column(2);
  EXPECT_EQ(ascending.front(), "Meeting notes");
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(2) + 5, 5));
  QStringList reversed = column(2);
  std::reverse(reversed.begin(), reversed.end());
  EXPECT_EQ(reversed, ascending);

  // Selecting a mail shows its text and records it in the history.
  main.list().selectRow(0);
  EXPECT_TRUE(fromSjis(main.text().content().subject()).contains(column(2).front().left(4)));
  main.list().selectRow(1);
  EXPECT_TRUE(main.history().canGoBack());
  press(main.list().currentView(), Qt::Key_Left, Qt::AltModifier);  // the accelerator of "back"
  EXPECT_EQ(main.list().currentRow(), 0U);
  EXPECT_TRUE(main.history().canGoForward());

  // The thread display from the menu.
  ASSERT_TRUE(triggerMenu(cmd::kThreadDisplay));
  EXPECT_TRUE(main.listModel().list().sortState().threads());
  EXPECT_TRUE(column(2).contains(QString::fromUtf8("◆忘年会のお知らせ")));
  EXPECT_TRUE(column(2).contains(QString::fromUtf8("   Re: 忘年会のお知らせ（場所）")));
}

TEST_F(MainWindowTest, RenameInPlaceWithJapaneseTyped) {
  MainWindow& main = openWindow();
  ASSERT_TRUE(main.selectNode(sjis("友人")));
  press(&main.tree(), Qt::Key_F2);
  auto* editor = main.tree().findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  typeText(editor, QString::fromUtf8("旅行仲間"));
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();  // the view commits the edit from its event loop
  EXPECT_EQ(liveMails("旅行仲間"), 1);
  EXPECT_EQ(main.selectedNode(), sjis("旅行仲間"));

  // A comma is refused with 40204 and the name stays.
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the first editor goes
  press(&main.tree(), Qt::Key_F2);
  editor = main.tree().findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "a,b");
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(boxes(MessageNumber::ForbiddenNameCharacter), 1);
  EXPECT_EQ(liveMails("旅行仲間"), 1);
}

TEST_F(MainWindowTest, DeleteWithTheQuestionAnswered) {
  MainWindow& main = openWindow();
  // Delete in the list (key definition 46=DELETE): the mail goes to the trash.
  main.list().selectRow(0);
  press(main.list().currentView(), Qt::Key_Delete);
  EXPECT_EQ(liveMails("新着受信"), 4);
  EXPECT_EQ(liveMails("ごみ箱"), 1);
  EXPECT_EQ(main.listModel().rowCount(), 4);
  EXPECT_EQ(main.list().currentRow(), 0U);

  // A new cabinet (Alt+C in the tree), then deleted after question 40124.
  ASSERT_TRUE(main.selectNode(sjis("趣味")));
  press(&main.tree(), Qt::Key_C, Qt::AltModifier);
  QTest::keyClick(main.tree().findChild<QLineEdit*>(), Qt::Key_Escape);
  const std::string created = main.selectedNode();
  EXPECT_EQ(created, sjis("趣味/新規引出"));
  press(&main.tree(), Qt::Key_Delete);
  EXPECT_EQ(boxes(MessageNumber::DeleteCabinet), 1);
  EXPECT_FALSE(platform::isDirectory(document->store().topCabinetPath() + "/" + created));
  EXPECT_EQ(main.selectedNode(), sjis("趣味/写真"));  // the next sibling, else the previous, else the parent

  // A cabinet holding trays is refused after the question.
  press(&main.tree(), Qt::Key_Left);  // up to 趣味
  ASSERT_EQ(main.selectedNode(), sjis("趣味"));
  press(&main.tree(), Qt::Key_Delete);
  EXPECT_EQ(boxes(MessageNumber::CabinetHoldsTrays), 1);
  EXPECT_EQ(liveMails("趣味/写真"), 0);
}

TEST_F(MainWindowTest, TheTrashIsEmptiedOnlyWhileNoOtherRunHoldsTheStore) {
  MainWindow& main = openWindow();
  main.list().selectRow(0);
  press(main.list().currentView(), Qt::Key_Delete);
  ASSERT_EQ(liveMails("ごみ箱"), 1);
  {
    // Another process receiving into the store.
    const auto held = mailflow::StoreLock::take(*document, mailflow::StoreWork::Receive);
    ASSERT_TRUE(held);
    const std::size_t shown = reporter.numbers().size();
    main.runCommand(view::cmd::kEmptyTrash);
    EXPECT_EQ(reporter.numbers().size(), shown + 2) << "the question, then who holds the store";
    EXPECT_EQ(liveMails("ごみ箱"), 1);
  }
  main.runCommand(view::cmd::kEmptyTrash);
  EXPECT_EQ(liveMails("ごみ箱"), 0);
}

TEST_F(MainWindowTest, PaneKeyDefinitions) {
  // A two-stroke binding of the user's own next to the defaults.
  document->settings().setText(core::item::kListKeys,
                               document->settings().text(core::item::kListKeys) + ",^75+^76=READ");
  MainWindow& main = openWindow();
  press(&main.tree(), Qt::Key_Tab);  // 9=TEXTVIEW
  EXPECT_TRUE(main.text().hasFocus());
  press(&main.text(), Qt::Key_Tab);  // 9=LISTVIEW
  EXPECT_TRUE(main.list().currentView()->hasFocus());
  press(main.list().currentView(), Qt::Key_Tab, Qt::ShiftModifier);  // !9=TEXTVIEW
  EXPECT_TRUE(main.text().hasFocus());

  // Space in the list: the next unread mail.
  main.list().selectRow(0);
  const auto unreadBefore = main.listModel().list().unreadCount();
  press(main.list().currentView(), Qt::Key_Space);
  const auto at = main.list().currentRow();
  ASSERT_TRUE(at);
  EXPECT_TRUE(main.listModel().list().unread(*at));
  // Ctrl+K then Ctrl+L: the user's READ macro.
  QTest::keyClick(main.list().currentView(), Qt::Key_K, Qt::ControlModifier);
  QTest::keyClick(main.list().currentView(), Qt::Key_L, Qt::ControlModifier);
  EXPECT_FALSE(main.listModel().list().unread(*at));
  EXPECT_EQ(main.listModel().list().unreadCount(), unreadBefore - 1);
  // A macro that cannot run now: RENAME in the tree has no binding, but
  // DELINK (unbound too) cannot be reached; PASTE with nothing held gives 40290.
  press(&main.tree(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(boxes(MessageNumber::TreeKeyMacroFault), 1);
}

TEST_F(MainWindowTest, CutCopyAndPaste) {
  MainWindow& main = openWindow();
  main.list().selectRow(0);
  press(main.list().currentView(), Qt::Key_X, Qt::ControlModifier);  // ^88=CUT
  EXPECT_EQ(liveMails("新着受信"), 4);
  ASSERT_TRUE(main.selectNode(sjis("趣味/写真")));
  press(&main.tree(), Qt::Key_V, Qt::ControlModifier);  // ^86=PASTE
  EXPECT_EQ(liveMails("趣味/写真"), 1);

  // A tray cut in the tree and pasted into another cabinet.
  ASSERT_TRUE(main.selectNode(sjis("友人")));
  press(&main.tree(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(liveMails("友人"), -1);
  ASSERT_TRUE(main.selectNode(sjis("仕事")));
  press(&main.tree(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(liveMails("仕事/友人"), 1);
  EXPECT_FALSE(main.commandEnabled(cmd::kPaste));
}

TEST_F(MainWindowTest, LayoutIsTheSameAfterARestart) {
  MainWindow& first = openWindow();
  ASSERT_TRUE(first.selectNode(sjis("仕事/会議")));
  ASSERT_TRUE(triggerMenu(cmd::kSmallIcons));
  first.list().details()->setColumnWidth(2, 333);
  first.resize(900, 650);
  const view::LayoutValues before = first.layoutValues();
  closeWindow();
  *layout = view::LayoutStore(scratch.file("registry.ini"));  // as the next start reads it

  MainWindow& second = openWindow();
  EXPECT_EQ(second.selectedNode(), sjis("仕事/会議"));
  EXPECT_EQ(second.list().mode(), MailListPane::kSmallIcons);
  EXPECT_EQ(second.list().columnWidths()[2], 333);
  const view::LayoutValues after = second.layoutValues();
  EXPECT_EQ(after.frame.right - after.frame.left, before.frame.right - before.frame.left);
  EXPECT_EQ(after.frame.bottom - after.frame.top, before.frame.bottom - before.frame.top);
  EXPECT_EQ(after.treeWidth, before.treeWidth);
  EXPECT_EQ(after.listHeight, before.listHeight) << "the list pane keeps its height, the text pane takes the rest";
  EXPECT_EQ(after.barState, before.barState);
}

TEST_F(MainWindowTest, ReceiveFromDovecotThroughTheMenu) {
  test::DovecotServer server;
  if (!test::DovecotServer::available()) GTEST_SKIP() << test::DovecotServer::missingReason();
  ASSERT_TRUE(server.start()) << server.log();
  server.addUser("taro", "secret");
  server.deliver("taro", "From: hanako@example.jp\r\nTo: taro@example.jp\r\nSubject: [=?UTF-8?B?"
                         "5Lya6K2w?=] agenda\r\nMessage-Id: <r1@example.jp>\r\n"
                         "Date: Tue, 08 Dec 2026 09:00:00 +0900\r\n\r\nhello\r\n");
  server.deliver("taro", "From: jiro@example.jp\r\nTo: taro@example.jp\r\nSubject: lunch\r\n"
                         "Message-Id: <r2@example.jp>\r\nDate: Tue, 08 Dec 2026 09:05:00 +0900\r\n\r\nhi\r\n");
  auto& settings = document->settings();
  settings.setText(core::item::kPopServer, "127.0.0.1");
  settings.setNumber(core::item::kPopPort, server.port());
  settings.setText(core::item::kPopUser, "taro");
  settings.setPlainPassword(core::item::kPopPassword, "secret");
  settings.setNumber(core::item::kUseApop, 0);
  settings.setNumber(core::item::kPopSecurity, 0);  // the test's Dovecot speaks no TLS

  MainWindow& main = openWindow();
  QSignalSpy finished(&main, &MainWindow::workflowFinished);
  // The progress dialog opens modal: its start button, as the user would.
  bool started = false;
  QTimer starter;
  QObject::connect(&starter, &QTimer::timeout, [&started] {
    auto* dialog = qobject_cast<SendReceiveDialog*>(QApplication::activeModalWidget());
    if (!dialog || started || !dialog->startButton()->isEnabled()) return;
    started = true;
    dialog->startButton()->click();
  });
  starter.start(50);
  ASSERT_TRUE(triggerMenu(cmd::kReceive));
  ASSERT_TRUE(finished.count() > 0 || finished.wait(60000));
  EXPECT_TRUE(started);
  EXPECT_EQ(liveMails("新着受信"), 6);       // lunch stays
  EXPECT_EQ(liveMails("仕事/会議"), 4);     // the agenda went by its keyword
  EXPECT_TRUE(main.newMailIndicator());
  EXPECT_EQ(main.selectedNode(), sjis("新着受信"));
  EXPECT_TRUE(column(2).contains("lunch"));
  const auto log = platform::readFile(document->settings().sortingLogPath());
  ASSERT_TRUE(log);
  EXPECT_NE(platform::sjisToUtf8(*log).find("r1@example.jp → 仕事/会議"), std::string::npos);
}

}  // namespace
}  // namespace zorvik::ui
