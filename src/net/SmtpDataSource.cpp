#include "net/SmtpDataSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/FileSystem.h"

namespace zorvik::net {

SmtpDataSource::~SmtpDataSource() { close(); }

bool SmtpDataSource::open(const std::string& headerPath, const std::string& bodyPath) {
  close();
  paths_[0] = headerPath;
  paths_[1] = bodyPath;
  totalSize_ = 0;
  bytesRead_ = 0;
  failedPath_.clear();
  for (int i = 0; i < 2; ++i) {
    fds_[i] = ::open(platform::nativePath(paths_[i]).c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fds_[i] < 0 || ::fstat(fds_[i], &info) != 0 || !S_ISREG(info.st_mode)) {
      failedPath_ = paths_[i];
      close();
      return false;
    }
    left_[i] = static_cast<std::uint64_t>(info.st_size);
    totalSize_ += left_[i];
  }
  current_ = 0;
  return true;
}

void SmtpDataSource::close() {
  for (int& fd : fds_) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  current_ = 2;
}

void SmtpDataSource::closeCurrent() {
  ::close(fds_[current_]);
  fds_[current_] = -1;
  ++current_;
}

bool SmtpDataSource::readInto(std::string& block, std::size_t limit) {
  const std::size_t start = block.size();
  const std::uint64_t left = atEnd() ? 0 : left_[current_] + (current_ == 0 ? left_[1] : 0);
  // Room only for what the files still hold: a short mail does not pay for
  // filling a whole block first.
  const std::size_t room = static_cast<std::size_t>(std::min<std::uint64_t>(limit, left));
  block.resize(start + room);
  std::size_t filled = 0;
  while (filled < room && !atEnd()) {
    if (left_[current_] == 0) {
      closeCurrent();
      continue;
    }
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(room - filled, left_[current_]));
    const ssize_t n = ::read(fds_[current_], block.data() + start + filled, want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      failedPath_ = paths_[current_];
      block.resize(start + filled);
      return false;
    }
    // A file that shrank since it was opened ends where it ends now.
    left_[current_] = n == 0 ? 0 : left_[current_] - static_cast<std::uint64_t>(n);
    filled += static_cast<std::size_t>(n);
  }
  while (!atEnd() && left_[current_] == 0) closeCurrent();
  block.resize(start + filled);
  bytesRead_ += filled;
  return true;
}

}  // namespace zorvik::net
