#include "net/SmtpDataSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    totalSize_ += static_cast<std::uint64_t>(info.st_size);
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

bool SmtpDataSource::readInto(std::string& block, std::size_t limit) {
  const std::size_t start = block.size();
  block.resize(start + limit);
  std::size_t filled = 0;
  while (filled < limit && !atEnd()) {
    const ssize_t n = ::read(fds_[current_], block.data() + start + filled, limit - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      failedPath_ = paths_[current_];
      block.resize(start + filled);
      return false;
    }
    if (n == 0) {
      ::close(fds_[current_]);
      fds_[current_] = -1;
      ++current_;
      continue;
    }
    filled += static_cast<std::size_t>(n);
  }
  block.resize(start + filled);
  bytesRead_ += filled;
  return true;
}

}  // namespace zorvik::net
