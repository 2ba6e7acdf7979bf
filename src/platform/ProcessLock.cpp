#include "platform/ProcessLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/FileSystem.h"

namespace zorvik::platform {
namespace {

constexpr std::size_t kHolderLimit = 512;

std::string readHolder(int fd) {
  std::string text(kHolderLimit, '\0');
  const ssize_t got = ::pread(fd, text.data(), text.size(), 0);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

std::optional<ProcessLock> ProcessLock::take(std::string_view path, std::string_view holder, Refusal* refusal) {
  const std::string native = nativePath(path).string();
  const int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (refusal) *refusal = Refusal{};
    return std::nullopt;
  }
  int result = 0;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    if (refusal) *refusal = Refusal{errno == EWOULDBLOCK, readHolder(fd)};
    ::close(fd);
    return std::nullopt;
  }
  // Only the holder writes the file, over the old text and then cut to its
  // length: a refused taker reading meanwhile sees the old holder, the new
  // one or a mix of the two, never an empty file. The lock holds even when
  // the text cannot be written: others then see no holder's name.
  const std::string line = std::string(holder) + "\n";
  [[maybe_unused]] const bool written = ::pwrite(fd, line.data(), line.size(), 0) == static_cast<ssize_t>(line.size()) &&
                                        ::ftruncate(fd, static_cast<off_t>(line.size())) == 0;
  return ProcessLock(fd);
}

ProcessLock::ProcessLock(ProcessLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

ProcessLock& ProcessLock::operator=(ProcessLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

ProcessLock::~ProcessLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace zorvik::platform
