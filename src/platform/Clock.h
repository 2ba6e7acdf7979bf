/// \file
/// Time as the engine sees it. Time-outs, timers and dates go through a
/// Clock so that tests drive them with a fake instead of sleeping.
#pragma once

#include <chrono>
#include <cstdint>

namespace zorvik::platform {

class Clock {
public:
  virtual ~Clock() = default;
  /// Monotonic time for time-outs and timers.
  virtual std::chrono::steady_clock::time_point now() const = 0;
  /// Seconds since 1970-01-01 00:00 UTC, for dates.
  virtual std::int64_t unixTime() const = 0;
  /// Waits `duration` (the fake returns at once and advances its time).
  virtual void sleepFor(std::chrono::milliseconds duration) = 0;
};

/// The real clock of the machine.
class SystemClock : public Clock {
public:
  std::chrono::steady_clock::time_point now() const override;
  std::int64_t unixTime() const override;
  void sleepFor(std::chrono::milliseconds duration) override;

  /// The one process-wide instance.
  static SystemClock& instance();
};

}  // namespace zorvik::platform
