#include "platform/Sound.h"

namespace zorvik::platform {

void TerminalBell::beep(std::uint32_t) { ring(); }

void TerminalBell::playWave(const std::string&) { ring(); }

void TerminalBell::ring() {
  const std::lock_guard lock(mutex_);
  out_ << '\a' << std::flush;
}

}  // namespace zorvik::platform
