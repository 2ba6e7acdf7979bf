#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>
#include <utility>

#include "platform/FileSystem.h"

namespace zorvik::platform {
namespace {

std::atomic<int> retryAttempts{12};
std::atomic<long long> retryWaitMs{100};

// Only another opener's lock (or a file replaced under us) goes away by
// waiting; a missing file, a missing directory or a refused permission do
// not, and waiting 1.2 seconds for them would only slow every caller.
bool isTransient(int error) { return error == EWOULDBLOCK || error == EAGAIN || error == EINTR; }

int openFlags(FileAccess access) {
  switch (access) {
    case FileAccess::Read: return O_RDONLY | O_CLOEXEC;
    case FileAccess::Update: return O_RDWR | O_CLOEXEC;
    case FileAccess::Create:
    case FileAccess::Truncate: return O_RDWR | O_CREAT | O_CLOEXEC;
  }
  return O_RDONLY | O_CLOEXEC;
}

// True when `fd` is still the file the path names. A holder that replaced
// the file by renaming a new one over it (rewriting a tray's properties does)
// leaves later lockers of the old file writing into a file nobody reads.
bool stillNamed(int fd, const std::string& native) {
  struct stat opened {};
  struct stat named {};
  if (::fstat(fd, &opened) != 0 || ::stat(native.c_str(), &named) != 0) return false;
  return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// One attempt: the descriptor, or -1 with errno telling why.
int tryOpen(const std::string& native, FileAccess access) {
  const int fd = ::open(native.c_str(), openFlags(access), 0644);
  if (fd < 0) return -1;
  const int operation = (access == FileAccess::Read ? LOCK_SH : LOCK_EX) | LOCK_NB;
  if (::flock(fd, operation) == 0) {
    if (stillNamed(fd, native)) return fd;
    errno = EAGAIN;
  }
  const int error = errno;
  ::close(fd);
  errno = error;
  return -1;
}

}  // namespace

LockRetry FileLock::retry() {
  return LockRetry{retryAttempts.load(), std::chrono::milliseconds(retryWaitMs.load())};
}

void FileLock::setRetry(LockRetry retry) {
  retryAttempts = retry.attempts < 1 ? 1 : retry.attempts;
  retryWaitMs = retry.wait.count();
}

std::optional<FileLock> FileLock::open(std::string_view path, FileAccess access) {
  const std::string native = nativePath(path).string();
  const LockRetry rule = retry();
  for (int attempt = 1;; ++attempt) {
    const int fd = tryOpen(native, access);
    if (fd >= 0) {
      FileLock file(fd);
      // Truncation waits for the lock: cutting a file another operation is
      // still reading or writing would tear its records.
      if (access == FileAccess::Truncate && !file.resize(0)) return std::nullopt;
      return file;
    }
    if (!isTransient(errno) || attempt >= rule.attempts) return std::nullopt;
    std::this_thread::sleep_for(rule.wait);
  }
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FileLock::~FileLock() { close(); }

void FileLock::close() {
  if (fd_ < 0) return;
  ::close(fd_);  // closing the last descriptor releases the flock
  fd_ = -1;
}

std::optional<std::size_t> FileLock::readAt(std::uint64_t offset, char* out, std::size_t size) const {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd_, out + done, size - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool FileLock::writeAt(std::uint64_t offset, std::string_view data) const {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t put =
        ::pwrite(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

std::optional<std::uint64_t> FileLock::size() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

bool FileLock::resize(std::uint64_t length) const {
  return ::ftruncate(fd_, static_cast<off_t>(length)) == 0;
}

bool FileLock::sync() const { return ::fsync(fd_) == 0; }

}  // namespace zorvik::platform
