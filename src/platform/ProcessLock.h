/// \file
/// A lock that one process (or one part of a process) holds for the length
/// of a piece of work, so that a second one refuses to start instead of
/// waiting or interfering: an exclusive flock() on a small file, taken
/// without blocking, with a line of text in the file saying who holds it.
///
/// The kernel drops the lock when its holder dies, so a lock left by a
/// killed process is stale by construction: the next taker simply gets it,
/// and the holder's text left in the file is overwritten.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorvik::platform {

class ProcessLock {
public:
  /// What taking the lock found.
  struct Refusal {
    bool held = false;   ///< someone holds it (else the file could not be made)
    std::string holder;  ///< the holder's text, as it wrote it
  };

  /// Takes the lock on the file at the Shift_JIS `path` (made when
  /// missing) and writes `holder` into it. The lock, or why not.
  static std::optional<ProcessLock> take(std::string_view path, std::string_view holder,
                                         Refusal* refusal = nullptr);

  ProcessLock(ProcessLock&& other) noexcept;
  ProcessLock& operator=(ProcessLock&& other) noexcept;
  ProcessLock(const ProcessLock&) = delete;
  ProcessLock& operator=(const ProcessLock&) = delete;
  /// Releases the lock; the file stays (removing it would let a third
  /// taker lock a new file while a second one still waits on the old).
  ~ProcessLock();

private:
  explicit ProcessLock(int fd) : fd_(fd) {}

  int fd_ = -1;
};

}  // namespace zorvik::platform
