/// \file
/// Sounds the engine asks for: the system beep of a given type and a wave
/// file played without waiting. The desktop client plays them through its
/// toolkit; zorvik-cli rings the terminal bell or stays silent; tests record
/// what was asked for.
///
/// Implementations may be called from a worker thread (sorting at its
/// threaded levels moves mails there) and must not block on the sound.
#pragma once

#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>

namespace zorvik::platform {

class Sound {
public:
  virtual ~Sound() = default;
  /// The system beep of `type` (0x10 is the stop sound).
  virtual void beep(std::uint32_t type) = 0;
  /// Starts playing the wave file at `path`; a missing or unplayable file
  /// plays nothing (no default sound stands in for it).
  virtual void playWave(const std::string& path) = 0;
};

/// Plays nothing: scripts and tests that must stay quiet.
class SilentSound final : public Sound {
public:
  void beep(std::uint32_t) override {}
  void playWave(const std::string&) override {}
};

/// A terminal has one sound: every beep and every wave file rings its bell
/// once. Calls from several threads are serialised on the stream.
class TerminalBell final : public Sound {
public:
  explicit TerminalBell(std::ostream& out) : out_(out) {}
  void beep(std::uint32_t type) override;
  void playWave(const std::string& path) override;

private:
  void ring();

  std::ostream& out_;
  std::mutex mutex_;
};

}  // namespace zorvik::platform
