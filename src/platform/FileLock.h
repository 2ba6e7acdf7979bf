/// \file
/// A file opened for one operation and held under an advisory lock: shared
/// for a reader, exclusive for a writer. This is how Zorvik keeps threads and
/// processes from tearing each other's records: Linux has no sharing modes,
/// so every opener of a store file goes through this class and the lock is
/// the agreement. Locks are taken without blocking; a lock held by someone
/// else is waited out by retrying (12 attempts, 100 ms apart by default).
///
/// flock() locks belong to the open file description, so two threads of one
/// process that each open the file exclude each other exactly as two
/// processes do.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zorvik::platform {

enum class FileAccess {
  Read,      // shared lock, read only; a missing file fails at once
  Update,    // exclusive lock, read and write; a missing file fails at once
  Create,    // as Update, but a missing file is created
  Truncate,  // as Create, and cut to zero length once the lock is held
};

/// How often, and how far apart, a refused open or lock is tried.
struct LockRetry {
  int attempts = 12;
  std::chrono::milliseconds wait{100};
};

class FileLock {
public:
  /// Opens and locks the file at the Shift_JIS `path`. Empty when the file
  /// cannot be opened or the lock is still held by another opener after the
  /// last attempt. Only a held lock is retried: a missing file or directory,
  /// or a permission refused, fails at once.
  static std::optional<FileLock> open(std::string_view path, FileAccess access);

  /// The retry rule of every open in this process. Tests shorten the wait.
  static LockRetry retry();
  static void setRetry(LockRetry retry);

  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  /// Releases the lock and closes the file.
  ~FileLock();

  /// Reads up to `size` bytes at `offset`; the count read, fewer only at the
  /// end of the file; empty on an I/O error.
  std::optional<std::size_t> readAt(std::uint64_t offset, char* out, std::size_t size) const;
  /// Writes all of `data` at `offset`; false on an I/O error or a full disk.
  bool writeAt(std::uint64_t offset, std::string_view data) const;
  /// Current length; empty on an I/O error.
  std::optional<std::uint64_t> size() const;
  /// Cuts or extends the file to `length`.
  bool resize(std::uint64_t length) const;
  /// Forces what was written to the disk (fsync), for a writer about to
  /// delete the only other copy of the data; false on an I/O error.
  bool sync() const;

private:
  explicit FileLock(int fd) : fd_(fd) {}
  void close();

  int fd_ = -1;
};

}  // namespace zorvik::platform
