#include "message/MessageId.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <thread>
#include <vector>

namespace zorvik::message {
namespace {

constexpr std::time_t k20020305_102030Jst = 1015291230;
constexpr std::time_t k20261207_093005Jst = 1796603405;

// The counter field of an id "<stamp.CCCCCCCC.address>".
std::uint32_t counterOf(const std::string& id) {
  return static_cast<std::uint32_t>(std::stoul(id.substr(id.find('.') + 1, 8), nullptr, 16));
}

TEST(MessageId, StampFromTheLocalDate) {
  EXPECT_EQ(MessageId::make(k20020305_102030Jst, 9, "Taro <taro@example.jp>", "me@x", false),
            "<1020305102030.00000000.taro@example.jp>");
  // From 2000 on the year field has three digits.
  EXPECT_EQ(MessageId::make(k20261207_093005Jst, 9, "<taro@example.jp>", "me@x", false),
            "<1261207093005.00000000.taro@example.jp>");
  EXPECT_EQ(MessageId::make(k20261207_093005Jst, 0, "<taro@example.jp>", "me@x", false),
            "<1261207003005.00000000.taro@example.jp>");
}

TEST(MessageId, SenderAddress) {
  const auto idFor = [](std::string_view from) {
    const std::string id = MessageId::make(k20261207_093005Jst, 9, from, "user@example.jp", false);
    return id.substr(id.rfind('.', id.find('@')) + 1);
  };
  EXPECT_EQ(idFor(""), "user@example.jp>");
  EXPECT_EQ(idFor("\"Taro\" <taro@example.jp>"), "taro@example.jp>");
  // Without brackets the bare address still makes a valid, unique id.
  EXPECT_EQ(idFor("taro@example.jp (Taro)"), "taro@example.jp>");
  EXPECT_EQ(idFor("Taro <>"), "user@example.jp>");
  EXPECT_EQ(idFor("just a name"), "user@example.jp>");
}

// The count in the lower 10 bits of the counter field; the process id above.
std::uint32_t countOf(const std::string& id) { return counterOf(id) & 0x3FF; }

TEST(MessageId, CountingMakesEveryIdDifferent) {
  const std::string first = MessageId::make(k20261207_093005Jst, 9, "<a@x>", "", true);
  const std::string second = MessageId::make(k20261207_093005Jst, 9, "<a@x>", "", true);
  EXPECT_NE(first, second);
  EXPECT_EQ(countOf(second), (countOf(first) + 1) % 1024);
  EXPECT_EQ(counterOf(second) >> 10, static_cast<std::uint32_t>(getpid()));
  // Not counting neither uses nor moves the counter.
  EXPECT_EQ(counterOf(MessageId::make(k20261207_093005Jst, 9, "<a@x>", "", false)), 0u);
  EXPECT_EQ(countOf(MessageId::make(k20261207_093005Jst, 9, "<a@x>", "", true)), (countOf(second) + 1) % 1024);
}

// Two processes (two compose runs in the same second, or a child forked
// after the parent made an id) never make the same id for the same mail date
// and sender.
TEST(MessageId, TwoProcessesNeverShareAnId) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const std::string id = MessageId::make(k20261207_093005Jst, 9, "<a@x>", "", true);
    const bool sent = write(pipeEnds[1], id.data(), id.size()) == static_cast<ssize_t>(id.size());
    _exit(sent ? 0 : 1);
  }
  close(pipeEnds[1]);
  const std::string own = MessageId::make(k20261207_093005Jst, 9, "<a@x>", "", true);
  char buffer[128];
  const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_GT(got, 0);
  EXPECT_NE(std::string(buffer, static_cast<std::size_t>(got)), own);
}

TEST(MessageId, CounterIsUpperCaseHexAndSafeAcrossThreads) {
  constexpr int kThreads = 4;
  constexpr int kEach = 200;
  std::vector<std::vector<std::string>> made(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&made, t] {
      for (int i = 0; i < kEach; ++i)
        made[static_cast<std::size_t>(t)].push_back(
            MessageId::make(k20261207_093005Jst, 9, "<a@x>", "", true));
    });
  for (std::thread& thread : threads) thread.join();
  std::set<std::string> unique;
  for (const auto& ids : made) unique.insert(ids.begin(), ids.end());
  EXPECT_EQ(unique.size(), static_cast<std::size_t>(kThreads * kEach));
  for (const std::string& id : unique) {
    const std::string counter = id.substr(id.find('.') + 1, 8);
    EXPECT_TRUE(std::none_of(counter.begin(), counter.end(), [](char c) { return c >= 'a' && c <= 'f'; }))
        << id;
  }
}

}  // namespace
}  // namespace zorvik::message
