// Message boxes as the desktop shows them: captions, icons and buttons by
// kind, the cut of long texts, the thread a box is shown on, the disk-space
// dialog, and the test hooks.
#include "core/UnattendedAnswer.h"
#include "ui/QtReporter.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <atomic>
#include <thread>

#include "core/Messages.h"
#include "platform/TextEncoding.h"
#include "store/FreeSpaceCheck.h"
#include "ui/DialogTest.h"
#include "ui/LowDiskSpaceDialog.h"

namespace zorvik::ui {
namespace {

using core::MessageKind;
using core::MessageNumber;
using platform::utf8ToSjis;

class QtReporterTest : public test::DialogTest {};

QStringList buttonTexts(const QMessageBox& box) {
  QStringList texts;
  for (const QAbstractButton* button : box.buttons()) texts << button->text();
  texts.sort();
  return texts;
}

TEST_F(QtReporterTest, EachKindHasItsIconAndButtonsAndLongTextsAreCutOnACharacter) {
  const struct {
    MessageKind kind;
    QMessageBox::Icon icon;
    QStringList buttons;
  } kinds[] = {
      {MessageKind::Question, QMessageBox::Question, {"いいえ(&N)", "はい(&Y)"}},
      {MessageKind::Information, QMessageBox::Information, {"OK"}},
      {MessageKind::Error, QMessageBox::Critical, {"OK"}},
      {MessageKind::Fatal, QMessageBox::Critical, {"OK"}},
      {MessageKind::Bug, QMessageBox::Warning, {"OK"}},
  };
  for (const auto& each : kinds) {
    const auto box = QtReporter::makeBox(each.kind, QStringLiteral("Zorvik:エラー  No.804"), QStringLiteral("本文"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Zorvik:エラー  No.804"));
    EXPECT_EQ(box->icon(), each.icon);
    EXPECT_EQ(buttonTexts(*box), each.buttons);
  }
  const auto question = QtReporter::makeBox(MessageKind::Question, {}, {});
  EXPECT_EQ(question->escapeButton()->text(), QStringLiteral("いいえ(&N)")) << "Escape never answers yes";

  std::string kana;
  for (int i = 0; i < 1500; ++i) kana += "あ";
  const std::string odd = "x" + utf8ToSjis(kana);
  const QString cut = QtReporter::shownText(MessageKind::Error, odd);
  EXPECT_EQ(cut.size(), 1 + 999) << "2000 bytes: the ASCII x and 999 whole double-byte characters";
  EXPECT_TRUE(cut.endsWith(QStringLiteral("あ")));
  EXPECT_EQ(QtReporter::shownText(MessageKind::Fatal, odd).size(), 1 + 1500)
      << "a fatal text comes cut already, with the closing sentence after the cut";

  EXPECT_EQ(core::UnattendedAnswer::numberOf(core::Messages::caption(MessageKind::Error, MessageNumber::SettingsNotWritten)),
            40804);
  EXPECT_EQ(core::UnattendedAnswer::numberOf(utf8ToSjis("Zorvik:バグ")), 0);
}

TEST_F(QtReporterTest, AWorkersQuestionIsAskedOnTheGuiThreadAndTheLowDiskDialogCanEndTheProgram) {
  qunsetenv("ZORVIK_ANSWER");
  QtReporter reporter;
  core::Messages messages(reporter);
  const std::thread::id gui = std::this_thread::get_id();

  std::atomic<int> answer{-1};
  onModal([&](QWidget& modal) {
    auto& box = dynamic_cast<QMessageBox&>(modal);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Zorvik:問合せ  No.122"));
    EXPECT_EQ(std::this_thread::get_id(), gui);
    box.escapeButton()->click();
  });
  std::thread asker([&] { answer = messages.question(MessageNumber::DeleteTrayAndMails, {utf8ToSjis("仕事")}); });
  ASSERT_TRUE(waitFor([&] {
    messages.pump();
    return answer != -1;
  }));
  asker.join();
  EXPECT_EQ(answer, 0);

  bool ended = false;
  std::atomic<int> mayWrite{-1};
  onModal([&](QWidget& modal) {
    auto& dialog = dynamic_cast<LowDiskSpaceDialog&>(modal);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("致命的エラー"));
    EXPECT_EQ(dialog.continueButton()->text(), QStringLiteral("続行"));
    dialog.endButton()->click();
  });
  const store::FreeSpaceCheck check(messages, [&] { ended = true; },
                                    [](std::string_view) -> std::optional<std::uint64_t> { return 10; });
  std::thread writer([&] { mayWrite = check("/store/tray.XM0"); });
  ASSERT_TRUE(waitFor([&] {
    messages.pump();
    return mayWrite != -1;
  }));
  writer.join();
  EXPECT_EQ(mayWrite, 0);
  EXPECT_TRUE(ended) << "強制終了 ends the program";

  const auto boxes = boxLines();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0],
            "box\t40122\tZorvik:問合せ  No.122\tトレイ「仕事」とトレイの中のメールを消去してもよいですか。\tno");
  EXPECT_TRUE(boxes[1].starts_with("box\t44101\t")) << boxes[1];
  EXPECT_TRUE(boxes[1].find("\\n") != std::string::npos) << "one line per box";
  EXPECT_TRUE(boxes[1].ends_with("\tno"));
}

TEST_F(QtReporterTest, WithAPresetAnswerNoBoxIsShownEveryBoxIsLoggedAndAFullDiskIsNotAskedForEver) {
  qputenv("ZORVIK_ANSWER", "yes");
  QtReporter reporter;
  core::Messages messages(reporter);
  bool boxShown = false;
  onModal([&](QWidget& modal) {
    boxShown = true;
    modal.close();
  });
  EXPECT_TRUE(messages.question(MessageNumber::BuildStore, {"/store"}));
  messages.error(MessageNumber::SettingsNotWritten, {"/store/x.xm9"});
  int probes = 0;
  const store::FreeSpaceCheck check(messages, {}, [&](std::string_view) -> std::optional<std::uint64_t> {
    ++probes;
    return 10;
  });
  EXPECT_FALSE(check("/store/tray.XM0")) << "nobody frees the disk in an unattended run";
  QApplication::processEvents();
  EXPECT_FALSE(boxShown);

  const auto boxes = boxLines();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_TRUE(boxes[0].starts_with("box\t40801\t") && boxes[0].ends_with("\tyes"));
  EXPECT_TRUE(boxes[1].starts_with("box\t40804\tZorvik:エラー  No.804\t") && boxes[1].ends_with("\tok"));
  EXPECT_TRUE(boxes[2].starts_with("box\t44101\t") && boxes[2].ends_with("\tyes"));
  EXPECT_TRUE(boxes[3].starts_with("box\t44101\t") && boxes[3].ends_with("\tno"));
  EXPECT_EQ(probes, 2) << "the automatic yes looked at the disk once more";
}

}  // namespace
}  // namespace zorvik::ui
