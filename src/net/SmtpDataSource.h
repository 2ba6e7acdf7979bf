/// \file
/// The bytes of one mail's data: the header file followed by the body file,
/// read in blocks as the socket takes them. Both files are opened before the
/// transaction starts, so a missing file is found before the server is told
/// anything about the mail. Each file is read up to the size it had when it
/// was opened (the composition has finished writing it by then), so the end
/// is known without a further read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zorvik::net {

class SmtpDataSource {
public:
  SmtpDataSource() = default;
  ~SmtpDataSource();
  SmtpDataSource(const SmtpDataSource&) = delete;
  SmtpDataSource& operator=(const SmtpDataSource&) = delete;

  /// Opens both files (Shift_JIS paths). On failure nothing stays open and
  /// failedPath() names the file that could not be opened.
  bool open(const std::string& headerPath, const std::string& bodyPath);
  void close();

  /// Appends up to `limit` further bytes to `block`. False when a file could
  /// not be read (failedPath() names it); the data are then incomplete.
  bool readInto(std::string& block, std::size_t limit);
  /// Every byte of both files has been read.
  bool atEnd() const { return current_ >= 2; }

  std::uint64_t totalSize() const { return totalSize_; }
  std::uint64_t bytesRead() const { return bytesRead_; }
  const std::string& failedPath() const { return failedPath_; }

private:
  void closeCurrent();

  int fds_[2] = {-1, -1};
  std::uint64_t left_[2] = {0, 0};  // bytes of each file not yet read
  std::string paths_[2];
  int current_ = 2;
  std::uint64_t totalSize_ = 0;
  std::uint64_t bytesRead_ = 0;
  std::string failedPath_;
};

}  // namespace zorvik::net
