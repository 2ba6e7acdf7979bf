#include "platform/Clock.h"

#include <thread>

namespace zorvik::platform {

std::chrono::steady_clock::time_point SystemClock::now() const { return std::chrono::steady_clock::now(); }

std::int64_t SystemClock::unixTime() const {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

void SystemClock::sleepFor(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

SystemClock& SystemClock::instance() {
  static SystemClock clock;
  return clock;
}

}  // namespace zorvik::platform
