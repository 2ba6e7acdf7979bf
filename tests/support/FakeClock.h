/// \file
/// A clock that only moves when a test moves it (or when code sleeps on it).
#pragma once

#include <atomic>

#include "platform/Clock.h"

namespace zorvik::test {

class FakeClock : public platform::Clock {
public:
  std::chrono::steady_clock::time_point now() const override {
    return std::chrono::steady_clock::time_point(std::chrono::milliseconds(elapsedMs_.load()));
  }
  std::int64_t unixTime() const override { return unixStart_ + elapsedMs_.load() / 1000; }
  void sleepFor(std::chrono::milliseconds duration) override { advance(duration); }

  void advance(std::chrono::milliseconds duration) { elapsedMs_ += duration.count(); }
  void setUnixTime(std::int64_t seconds) { unixStart_ = seconds - elapsedMs_.load() / 1000; }

private:
  std::atomic<std::int64_t> elapsedMs_{1'000'000};
  std::atomic<std::int64_t> unixStart_{1'700'000'000};
};

}  // namespace zorvik::test
