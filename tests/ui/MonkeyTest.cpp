// A random walk through the main window: commands, keys and selections in
// random order on a demo store, under the sanitizers of the test build.
// Nothing may crash or trip an assertion, and the store must pass
// zorvik-cli's check afterwards. ZORVIK_MONKEY_STEPS sets the length (a
// short walk by default; run 2,000 or more by hand), ZORVIK_MONKEY_SEED
// repeats a walk.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include <cstdlib>
#include <random>

#include "store/TrayFile.h"
#include "store/TreeListing.h"
#include "UiFixture.h"
#include "ui/MailListModel.h"
#include "ui/MailListPane.h"
#include "ui/MailTextView.h"
#include "ui/TrayTreeModel.h"
#include "ui/TrayTreeView.h"
#include "ui/WorkflowRunner.h"
#include "view/CommandId.h"

namespace zorvik::ui {
namespace {

namespace cmd = view::cmd;

unsigned environmentNumber(const char* name, unsigned fallback) {
  const char* value = std::getenv(name);
  return value && *value ? static_cast<unsigned>(std::strtoul(value, nullptr, 10)) : fallback;
}

class MonkeyTest : public UiFixture {
protected:
  void SetUp() override { makeStore(); }
};

TEST_F(MonkeyTest, RandomWalkLeavesTheStoreSound) {
  const unsigned steps = environmentNumber("ZORVIK_MONKEY_STEPS", 150);
  const unsigned seed = environmentNumber("ZORVIK_MONKEY_SEED", std::random_device{}());
  std::printf("monkey: %u steps, ZORVIK_MONKEY_SEED=%u\n", steps, seed);
  std::fflush(stdout);
  std::mt19937 random(seed);
  const auto pick = [&random](std::size_t count) {
    return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
  };

  MainWindow& main = openWindow();
  // Dialogs the walk opens (backup, server, sorting notice) are closed again
  // a moment later, as a user who changed their mind would.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
  });
  closer.start(30);
  // Commands that leave the window (exit), open other programs, or reach
  // for a server that the walk does not have.
  const std::set<int> excluded = {cmd::kExit,         cmd::kStartEditor,     cmd::kAbout,
                                  cmd::kSendReceive,  cmd::kSend,            cmd::kReceive,
                                  cmd::kHeaderReceive, cmd::kSendReceiveAll, cmd::kOpenSettings};
  std::vector<int> commands;
  for (const view::Command& command : main.commandTable().commands())
    if (!excluded.contains(command.id)) commands.push_back(command.id);
  const std::vector<Qt::Key> keys = {Qt::Key_Up,    Qt::Key_Down,   Qt::Key_Left,  Qt::Key_Right, Qt::Key_Home,
                                     Qt::Key_End,   Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Space, Qt::Key_Tab,
                                     Qt::Key_Return, Qt::Key_Delete, Qt::Key_X,    Qt::Key_C,     Qt::Key_V,
                                     Qt::Key_A,     Qt::Key_T,      Qt::Key_F2,    Qt::Key_Escape, Qt::Key_K};
  const std::vector<Qt::KeyboardModifiers> modifiers = {Qt::NoModifier, Qt::NoModifier, Qt::ControlModifier,
                                                        Qt::AltModifier, Qt::ShiftModifier};

  for (unsigned step = 0; step < steps; ++step) {
    switch (pick(4)) {
      case 0: main.runCommand(commands[pick(commands.size())]); break;
      case 1: {
        QWidget* target = QApplication::focusWidget();
        if (!target || !target->isVisible()) target = &main.tree();
        QTest::keyClick(target, keys[pick(keys.size())], modifiers[pick(modifiers.size())]);
        break;
      }
      case 2: {
        // A tree node: any of the nodes read so far.
        std::vector<std::string> nodes = {""};
        store::walkTree(document->store(), "", [&nodes](const store::TreeEntry& entry) { nodes.push_back(entry.path); });
        main.selectNode(nodes[pick(nodes.size())]);
        break;
      }
      default: {
        const int rows = main.listModel().rowCount();
        if (rows > 0) main.list().selectRow(pick(static_cast<std::size_t>(rows)));
        break;
      }
    }
    // A rename editor left open takes a name now and then.
    if (auto* editor = QApplication::focusWidget() ? qobject_cast<QLineEdit*>(QApplication::focusWidget()) : nullptr;
        editor && pick(3) == 0)
      typeText(editor, QString::fromUtf8(pick(2) ? "名前" : "x,y"));
    main.waitForWork();
    QApplication::processEvents();
  }
  closeWindow();
  EXPECT_EQ(cli({"check"}), 0);
  // Every tray still reads to its end.
  store::walkTree(document->store(), "", [this](const store::TreeEntry& entry) {
    if (entry.isCabinet) return;
    auto reader = store::TrayFile(document->store(), entry.path).reader();
    ASSERT_TRUE(reader) << entry.path;
    store::TrayRecord row;
    while (reader->next(row) != store::ReadResult::End) {
    }
  });
}

}  // namespace
}  // namespace zorvik::ui
