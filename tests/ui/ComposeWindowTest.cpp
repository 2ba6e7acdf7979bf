// The compose window on the demo store, written in as a person would: Japanese
// typed through the input method (preedit, then commit), quotes of a reply
// locked against Backspace, the editor's key presets, the order of the
// store's checks, the close question keeping a draft, an external editor
// script, several windows at once, a mailto hand-off, the address book
// window, and a reply that reaches the real SMTP server (aiosmtpd) intact.
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeWidget>

#include <atomic>
#include <fstream>
#include <thread>
#include <stdexcept>

#include "compose/DraftFile.h"
#include "core/SettingsItemTable.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/CliRunner.h"
#include "support/MailReadBack.h"
#include "support/MessageNumberPrinter.h"
#include "support/PythonScript.h"
#include "support/SmtpSinkServer.h"
#include "UiFixture.h"
#include "ui/AddressBookWindow.h"
#include "ui/ComposeCommands.h"
#include "ui/ComposeEditor.h"
#include "ui/ComposeWindow.h"
#include "ui/ExternalEditor.h"
#include "ui/MailListPane.h"
#include "ui/ServerTrayDialog.h"
#include "ui/UiLog.h"
#include "view/CommandId.h"
#include "view/InstanceHandOff.h"
#include "view/KeyPresets.h"

namespace zorvik::ui {
namespace {

using core::MessageNumber;
namespace cmd = view::cmd;
namespace item = core::item;

class ComposeWindowTest : public UiFixture {
protected:
  void SetUp() override {
    makeStore();
    ::unsetenv("ZORVIK_ANSWER");
  }
  void TearDown() override {
    for (ComposeWindow* open : window ? window->compose().windows() : std::vector<ComposeWindow*>{}) {
      open->discard();
    }
    QApplication::processEvents();
  }

  ComposeWindow& newWindow(int command = cmd::kNewMail) {
    MainWindow& main = window ? *window : openWindow();
    const auto before = main.compose().windows().size();
    // The mail commands follow the list: the focus is there, as after a click.
    main.list().currentView()->setFocus();
    QApplication::processEvents();
    const bool ran = main.runCommand(command);
    const auto open = main.compose().windows();
    // Nothing to test without the window: the test ends here.
    if (!ran || open.size() != before + 1) throw std::runtime_error("no compose window for " + std::to_string(command));
    return *open.back();
  }
  // Types as an input method does: the reading shown as preedit, then committed.
  static void imeType(QWidget* widget, const QString& preedit, const QString& commit) {
    QInputMethodEvent pending(preedit, {});
    QApplication::sendEvent(widget, &pending);
    QInputMethodEvent done;
    done.setCommitString(commit);
    QApplication::sendEvent(widget, &done);
  }
  std::string cliOut(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--settings", platform::sjisToUtf8(settingsPath), "--yes"});
    return test::runCli(args, scratch.path(), {"HOME=" + scratch.file("home")}).out;
  }
  int boxes(MessageNumber number) const {
    const auto numbers = reporter.numbers();
    return static_cast<int>(std::count(numbers.begin(), numbers.end(), number));
  }
  static QString u(const char* utf8) { return QString::fromUtf8(utf8); }
};

TEST_F(ComposeWindowTest, ANewMailTypedInJapaneseIsQueuedWithItsHeaders) {
  ComposeWindow& compose = newWindow();
  EXPECT_EQ(compose.windowTitle(), u("新規 - 新着受信"));
  typeText(&compose.toField(), u("花子 <hanako@example.jp>"));
  typeText(&compose.subjectField(), u("来週の打ち合わせ"));
  ComposeEditor& editor = compose.editor();
  editor.setFocus();
  editor.moveCursor(QTextCursor::End);
  imeType(&editor, u("はなこさん"), u("花子さん"));
  QTest::keyClick(&editor, Qt::Key_Return);
  imeType(&editor, u("よろしく"), u("よろしくお願いします。〜"));
  EXPECT_TRUE(editor.toPlainText().endsWith(u("花子さん\nよろしくお願いします。〜"))) << editor.toPlainText().toStdString();

  QSignalSpy stored(&compose, &ComposeWindow::stored);
  for (QPushButton* button : compose.findChildren<QPushButton*>())
    if (button->text() == u("送信")) button->click();
  ASSERT_EQ(stored.count(), 1);
  QApplication::processEvents();
  const std::string listed = cliOut({"list", "未送信"});
  EXPECT_NE(listed.find("来週の打ち合わせ"), std::string::npos) << listed;
  const std::string shown = cliOut({"show", "未送信", "0"});
  EXPECT_NE(shown.find("hanako@example.jp"), std::string::npos) << shown;
  EXPECT_NE(shown.find("taro@example.jp"), std::string::npos) << "the sender: " << shown;
  EXPECT_NE(shown.find("花子さん\nよろしくお願いします。"), std::string::npos) << shown;
  EXPECT_TRUE(window->compose().windows().empty());
}

TEST_F(ComposeWindowTest, AReplysQuotesAreLockedAndEnterDoesNotSplitThem) {
  MainWindow& main = openWindow();
  main.list().selectRow(0);
  ComposeWindow& reply = newWindow(cmd::kReply);
  ComposeEditor& editor = reply.editor();
  const QString text = editor.toPlainText();
  // The first quoted line: loaded, so locked.
  int quote = 0;
  while (quote < text.size() && !(editor.isLocked(quote) && text.at(quote) != '\n')) ++quote;
  ASSERT_LT(quote, text.size()) << "nothing locked in: " << text.toStdString();
  const int lineEnd = text.indexOf('\n', quote);
  ASSERT_GT(lineEnd, quote + 1);
  const auto caretAt = [&](int pos) {
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(pos);
    editor.setTextCursor(cursor);
  };
  // Backspace from the next line's start and typing inside are refused.
  caretAt(lineEnd + 1);
  QTest::keyClick(&editor, Qt::Key_Backspace);
  caretAt(quote + 1);
  imeType(&editor, u("あ"), u("亜"));
  QTest::keyClick(&editor, Qt::Key_Delete);
  EXPECT_EQ(editor.toPlainText(), text);
  // Enter inside goes to the next line, the quote whole.
  caretAt(quote + 1);
  QTest::keyClick(&editor, Qt::Key_Return);
  EXPECT_EQ(editor.toPlainText(), text);
  EXPECT_EQ(editor.textCursor().position(), lineEnd + 1);
  // At the end of the quoted line, and of the text, typing is free.
  caretAt(lineEnd);
  imeType(&editor, u("ちゅう"), u("（注）"));
  editor.moveCursor(QTextCursor::End);
  imeType(&editor, u("りょうかい"), u("了解です"));
  EXPECT_EQ(editor.toPlainText(), text.left(lineEnd) + u("（注）") + text.mid(lineEnd) + u("了解です"));
  EXPECT_FALSE(editor.isLocked(lineEnd)) << "typed text stays free";
}

TEST_F(ComposeWindowTest, TheEmacsPresetUndoesWithCtrlXU) {
  document->settings().setText(item::kEditorKeys, view::editorKeyPresets()[2].definition);
  ComposeWindow& compose = newWindow();
  ComposeEditor& editor = compose.editor();
  editor.setFocus();
  const QString before = editor.toPlainText();
  editor.moveCursor(QTextCursor::End);
  typeText(&editor, u("消える文"));
  QTest::keyClick(&editor, Qt::Key_X, Qt::ControlModifier);
  QTest::keyClick(&editor, Qt::Key_U);
  EXPECT_EQ(editor.toPlainText(), before);
  // Ctrl+K kills to the line end; Ctrl+Y yanks it back.
  editor.moveCursor(QTextCursor::End);
  typeText(&editor, u("\nabc"));
  editor.moveCursor(QTextCursor::StartOfLine);
  QTest::keyClick(&editor, Qt::Key_K, Qt::ControlModifier);
  EXPECT_FALSE(editor.toPlainText().endsWith(u("abc")));
  QTest::keyClick(&editor, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_TRUE(editor.toPlainText().endsWith(u("abc")));
}

TEST_F(ComposeWindowTest, ChecksComeInTheirOrder) {
  document->settings().setNumber(item::kFirstLineAsSubject, 0);
  document->settings().setText(item::kSenderAddress, "");
  ComposeWindow& compose = newWindow();
  const int unsent = liveMails("未送信");
  compose.editor().clear();
  EXPECT_FALSE(compose.send());
  EXPECT_EQ(boxes(MessageNumber::NoMailText), 1);
  typeText(&compose.editor(), u("本文だけ"));
  EXPECT_FALSE(compose.send());
  EXPECT_EQ(boxes(MessageNumber::NoRecipient), 1);
  typeText(&compose.toField(), u("a@example.jp"));
  EXPECT_FALSE(compose.send());
  EXPECT_EQ(boxes(MessageNumber::NoSubject), 1) << "40503 before 40504";
  EXPECT_EQ(boxes(MessageNumber::NoOwnAddress), 0);
  typeText(&compose.subjectField(), u("件名"));
  EXPECT_FALSE(compose.send());
  EXPECT_EQ(boxes(MessageNumber::NoOwnAddress), 1);
  EXPECT_EQ(liveMails("未送信"), unsent);
}

TEST_F(ComposeWindowTest, ClosingKeepsADraftOrAsksNothing) {
  const int drafts = liveMails("送信原稿");
  ComposeWindow& empty = newWindow();
  empty.editor().clear();
  typeText(&empty.editor(), u("あい"));  // two characters: nothing worth a question
  empty.close();
  QApplication::processEvents();
  EXPECT_EQ(liveMails("送信原稿"), drafts);

  ComposeWindow& written = newWindow();
  typeText(&written.subjectField(), u("書きかけ"));
  written.close();
  QApplication::processEvents();
  EXPECT_EQ(liveMails("送信原稿"), drafts + 1);
  EXPECT_TRUE(window->compose().windows().empty()) << "one click on close closes the window";
  const std::string listed = cliOut({"list", "送信原稿"});
  EXPECT_NE(listed.find("書きかけ"), std::string::npos) << listed;
}

TEST_F(ComposeWindowTest, SeveralWindowsAndAnExternalEditorScript) {
  ComposeWindow& first = newWindow();
  ComposeWindow& second = newWindow();
  EXPECT_NE(&first, &second);
  EXPECT_EQ(window->compose().windows().size(), 2u);
  EXPECT_NE(first.geometry().topLeft(), second.geometry().topLeft());

  const std::string script = scratch.file("fake-editor.sh");
  {
    std::ofstream out(script);
    out << "#!/bin/sh\nprintf '%s\\n' 'edited outside' >> \"$1\"\n";
  }
  ::chmod(script.c_str(), 0755);
  ::setenv("VISUAL", script.c_str(), 1);
  document->settings().setText(item::kEditor, "notepad.exe");
  first.startExternalEditor();
  EXPECT_TRUE(first.externalEditor().running());
  EXPECT_TRUE(first.editor().isReadOnly());
  // A second window's editor waits while item 108 is off.
  second.startExternalEditor();
  EXPECT_FALSE(second.externalEditor().running());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !first.externalEditor().running(); }, 10000));
  QApplication::processEvents();
  EXPECT_TRUE(first.editor().toPlainText().endsWith(u("edited outside")));
  EXPECT_FALSE(first.editor().isReadOnly());
  ::unsetenv("VISUAL");
}

TEST_F(ComposeWindowTest, AMailtoLinkOpensANewWindowWithItsFields) {
  MainWindow& main = openWindow();
  main.startMailTo(u("hanako@example.jp?cc=jiro@example.jp&subject=%E4%BC%9A%E8%AD%B0&body=%E3%81%93%E3%82%93"));
  const auto open = main.compose().windows();
  ASSERT_EQ(open.size(), 1u);
  ComposeWindow& compose = *open.front();
  EXPECT_TRUE(compose.windowTitle().startsWith(u("新規")));
  EXPECT_EQ(compose.toField().text(), u("hanako@example.jp"));
  EXPECT_EQ(compose.ccField().text(), u("jiro@example.jp"));
  EXPECT_TRUE(compose.ccField().isVisibleTo(&compose));
  EXPECT_EQ(compose.subjectField().text(), u("会議"));
  EXPECT_TRUE(compose.editor().toPlainText().startsWith(u("こん")));
  EXPECT_FALSE(compose.editor().isLocked(0)) << "the link's text is the user's";
}

// A second start hands its link over the socket; the running window opens
// a "新規" window (what ZORVIK_UI_LOG shows a script).
TEST_F(ComposeWindowTest, ASecondStartsMailtoOpensANewWindowInTheRunningOne) {
  const std::string log = scratch.file("ui.log");
  UiLog::global().setPath(QString::fromStdString(log));
  MainWindowOptions options;
  options.settingsName = "taro";
  options.ask = [](const std::string&, const std::string&) { return true; };
  window = std::make_unique<MainWindow>(*document, *messages, *layout, options);
  window->show();
  std::atomic<int> handed{-1};
  std::thread second([&handed] {
    const view::HandOffRequest request{view::HandOffRequest::Kind::Mailto, "hanako@example.jp?subject=Hi"};
    handed = view::InstanceHandOff::send(view::InstanceHandOff::socketPath("taro"), request) ? 1 : 0;
  });
  const bool answered = QTest::qWaitFor([&handed] { return handed >= 0; }, 10000);
  second.join();
  ASSERT_TRUE(answered);
  EXPECT_EQ(handed, 1);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !window->compose().windows().empty(); }, 5000));
  EXPECT_EQ(window->compose().windows().front()->subjectField().text(), "Hi");
  UiLog::global().setPath({});
  const auto logged = platform::readFile(log);
  ASSERT_TRUE(logged);
  EXPECT_NE(logged->find("window\tshown\tComposeWindow\t新規"), std::string::npos) << *logged;
}

TEST_F(ComposeWindowTest, TheAddressBookWindowSearchesAndCompletes) {
  document->settings().setNumber(item::kUseAddressBook, 1);
  MainWindow& main = openWindow();
  ASSERT_TRUE(main.runCommand(cmd::kAddressBook));
  AddressBookWindow* book = main.compose().addressBook();
  ASSERT_NE(book, nullptr);
  ASSERT_TRUE(book->addEntry(u("鈴木 花子"), u("hanako@example.jp")));
  ASSERT_TRUE(book->addEntry(u("Jiro Tanaka"), u("jiro@example.jp")));
  EXPECT_EQ(book->rowCount(), 2);
  book->search(u("jiro"));
  EXPECT_EQ(book->rowCount(), 1);
  book->search(u("鈴木"));
  ASSERT_EQ(book->rowCount(), 1);
  EXPECT_EQ(book->list().topLevelItem(0)->text(2), u("hanako@example.jp"));

  ComposeWindow& compose = newWindow();
  typeText(&compose.toField(), u("鈴木"));
  compose.completeAddress();
  EXPECT_EQ(compose.toField().text(), u("鈴木 花子 <hanako@example.jp>"));
  book->close();
}

// A reply written in the window, sent from the main window's menu to
// aiosmtpd, read back with Python's email.
TEST_F(ComposeWindowTest, AReplyWithAnAttachmentArrivesIntact) {
  if (const auto why = test::SmtpSinkServer::unavailableReason(); !why.empty()) GTEST_SKIP() << why;
  if (!test::pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
  test::SmtpSinkServer server(scratch.file("maildir"));
  document->settings().setText(item::kSmtpServer, "127.0.0.1");
  document->settings().setNumber(item::kSmtpPort, server.port());
  document->settings().setNumber(item::kWarnNewRecipient, 0);
  MainWindow& main = openWindow();
  main.list().selectRow(0);
  ComposeWindow& reply = newWindow(cmd::kReplyToSender);
  const std::string attached = scratch.file("見積.bin");
  ASSERT_TRUE(platform::writeFileAtomically(platform::utf8ToSjis(attached), std::string("\x00\x01zorvik\xFF", 9)));
  reply.addAttachments({QString::fromStdString(attached)});
  reply.editor().moveCursor(QTextCursor::End);
  QTest::keyClick(&reply.editor(), Qt::Key_Return);
  imeType(&reply.editor(), u("しょうち"), u("承知しました。"));
  ASSERT_TRUE(reply.send());
  // The send dialog opens modal: its start button, as the user would; it
  // closes itself when the mail is out.
  bool started = false;
  QTimer starter;
  QObject::connect(&starter, &QTimer::timeout, [&started] {
    auto* dialog = qobject_cast<ServerTrayDialog*>(QApplication::activeModalWidget());
    if (!dialog || started || !dialog->okButton()->isEnabled()) return;
    started = true;
    dialog->okButton()->click();
  });
  starter.start(50);
  ASSERT_TRUE(main.runCommand(cmd::kSend));
  EXPECT_TRUE(started);
  const auto messages = server.messages();
  ASSERT_EQ(messages.size(), 1u);
  const std::string stored = scratch.file("sent.eml");
  ASSERT_TRUE(platform::writeFileAtomically(stored, messages.front()));
  const std::string read = test::readMailBack(stored);
  EXPECT_NE(read.find("subject\tRe:"), std::string::npos) << read;
  EXPECT_NE(read.find("に送信されたメールの返事です。|"), std::string::npos) << "the template's text: " << read;
  EXPECT_NE(read.find("|承知しました。"), std::string::npos) << "typed on a line of its own: " << read;
  EXPECT_NE(read.find(test::hexOf(std::string("\x00\x01zorvik\xFF", 9))), std::string::npos) << read;
}

}  // namespace
}  // namespace zorvik::ui
