#include "core/Messages.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "core/UnattendedAnswer.h"
#include "platform/TextEncoding.h"
#include "support/RecordingReporter.h"

namespace zorvik::core {
namespace {

using platform::utf8ToSjis;

struct FatalEnded : std::runtime_error {
  FatalEnded() : std::runtime_error("fatal") {}
};

TEST(Messages, CaptionsCarryKindWordAndNumber) {
  EXPECT_EQ(Messages::caption(MessageKind::Error, MessageNumber::SettingsNotWritten),
            utf8ToSjis("Zorvik:エラー  No.804"));
  EXPECT_EQ(Messages::caption(MessageKind::Question, MessageNumber::RewriteSettings),
            utf8ToSjis("Zorvik:問合せ  No.800"));
  EXPECT_EQ(Messages::caption(MessageKind::Information, MessageNumber::AttachmentNotExtracted),
            utf8ToSjis("Zorvik:情報  No.1110"));
  EXPECT_EQ(Messages::caption(MessageKind::Fatal, MessageNumber::WorkFileNotMoved),
            utf8ToSjis("Zorvik:致命エラー  No.4112"));
}

TEST(UnattendedAnswer, APresetContinuesAFullDiskOnlyOnceInARow) {
  UnattendedAnswer answer;
  const std::string full = Messages::caption(MessageKind::Question, MessageNumber::LowDiskSpace);
  const std::string other = Messages::caption(MessageKind::Question, MessageNumber::RewriteSettings);
  const std::string error = Messages::caption(MessageKind::Error, MessageNumber::SettingsNotWritten);
  const struct {
    MessageKind kind;
    const std::string& caption;
    bool preset;
    bool expected;
  } steps[] = {
      {MessageKind::Question, other, true, true},  {MessageKind::Question, full, true, true},
      {MessageKind::Question, full, true, false},  // still full: the work ends
      {MessageKind::Error, error, true, false},    {MessageKind::Question, full, true, true},
      {MessageKind::Question, full, false, false}, {MessageKind::Question, full, true, true},
  };
  for (const auto& step : steps) EXPECT_EQ(answer(step.kind, step.caption, step.preset), step.expected);
  EXPECT_EQ(UnattendedAnswer::numberOf(full), 44101);
  EXPECT_EQ(UnattendedAnswer::numberOf(utf8ToSjis("Zorvik:バグ")), 0);
}

TEST(Messages, TextIsFormattedAndCutWithoutSplittingACharacter) {
  const std::string path = "/home/taro/" + utf8ToSjis("設定.xm9");
  EXPECT_EQ(Messages::text(MessageNumber::SettingsNotWritten, {path}),
            utf8ToSjis("環境設定ファイル「") + path + utf8ToSjis("」に書き込めません。"));

  // 2000 bytes are reached in the middle of a double-byte character.
  const std::string longName = "x" + std::string(3000, '\x82') ;
  const std::string text = Messages::text(MessageNumber::SettingsNotWritten, {longName});
  EXPECT_LE(text.size(), Messages::kTextLimit);
  EXPECT_GE(text.size(), Messages::kTextLimit - 1);
  std::size_t at = 0;
  while (at < text.size()) at += isSjisLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
  EXPECT_EQ(at, text.size()) << "the last character was cut in half";
}

TEST(Messages, EachKindReachesTheReporter) {
  test::RecordingReporter reporter(true);
  Messages messages(reporter);
  int hangUps = 0;
  messages.setHangUp([&] { ++hangUps; });
  messages.setTerminate([] { throw FatalEnded(); });

  EXPECT_TRUE(messages.question(MessageNumber::RewriteSettings, {"a.xm9"}));
  messages.information(MessageNumber::AttachmentNotExtracted);
  messages.error(MessageNumber::SettingsNotWritten, {"a.xm9"});
  EXPECT_THROW(messages.fatal(MessageNumber::WorkFileNotMoved), FatalEnded);
  messages.bug(105);

  const auto boxes = reporter.boxes();
  ASSERT_EQ(boxes.size(), 5u);
  EXPECT_EQ(boxes[0].kind, MessageKind::Question);
  const std::string suffix = utf8ToSjis("\nこれ以上処理を続けることができませんので終了します");
  EXPECT_EQ(boxes[3].text.substr(boxes[3].text.size() - suffix.size()), suffix);
  EXPECT_EQ(boxes[4].caption, utf8ToSjis("Zorvik:バグ"));
  EXPECT_EQ(boxes[4].text, utf8ToSjis("バグ番号 105 のバグです。\n手順をよく思い出して管理者に連絡せよ！"));
  EXPECT_EQ(hangUps, 3) << "error, fatal and bug hang up a dial-up connection first";
}

TEST(Messages, WorkerQuestionIsShownOnTheOwnerThreadAndAnsweredToTheWorker) {
  test::RecordingReporter reporter(true);
  Messages messages(reporter);
  std::atomic<int> answer{-1};
  // A workflow on a thread of its own pumps while it waits for its session;
  // only the owner may show what is pending.
  std::atomic<bool> bystanderPumping{true};
  std::thread bystander([&] {
    while (bystanderPumping) messages.pump();
  });
  std::thread worker([&] { answer = messages.question(MessageNumber::RecoverWorkFile) ? 1 : 0; });
  while (answer == -1) {
    messages.pump();
    std::this_thread::yield();
  }
  worker.join();
  bystanderPumping = false;
  bystander.join();
  EXPECT_EQ(answer, 1);
  ASSERT_EQ(reporter.boxes().size(), 1u);
  EXPECT_EQ(reporter.boxes()[0].shownOn, std::this_thread::get_id());
}

TEST(MessageFormat, PlaceholdersTakeTypedArguments) {
  EXPECT_EQ(formatMessage("%s:%d:%5d:%-3s|:%04X:%%:%c", {"a", 42, 7, "b", 0xBEEF, 'z'}),
            "a:42:    7:b  |:BEEF:%:z");
  EXPECT_EQ(formatMessage("%ld %lu %s", {-5, 5, 12}), "-5 5 12");
  EXPECT_EQ(formatMessage("[%s][%d]", {}), "[][0]") << "a missing argument must not read past the list";
  EXPECT_EQ(formatMessage("%.2s", {"abcdef"}), "ab");
  EXPECT_EQ(formatMessage("100%", {}), "100");
}

}  // namespace
}  // namespace zorvik::core
