/// \file
/// Reads lines of a tray text file (".XM0") from a byte offset, under a
/// shared lock held for the session. Lines end with CR LF on disk; the CR is
/// dropped. With a line limit it is the body reader: it returns at most the
/// stored body line count of lines. It knows the offset of every line it
/// returns, which is what restamping and the header reader need.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileLock.h"

namespace zorvik::store {

class TrayTextReader {
public:
  /// Opens the text file at `path` positioned at `offset`, returning at most
  /// `maxLines` lines. Empty when the file cannot be opened or `offset` lies
  /// beyond its end (a record pointing past the text is damaged).
  static std::optional<TrayTextReader> open(std::string_view path, std::uint64_t offset,
                                            std::uint32_t maxLines);

  /// Reads through a file the caller already holds (for update).
  static std::optional<TrayTextReader> over(platform::FileLock file, std::uint64_t offset,
                                            std::uint32_t maxLines);

  /// The file, for writing back in place what was read.
  const platform::FileLock& file() const { return file_; }

  /// The next line without its line end; false at the end of the file or
  /// after the last allowed line.
  bool next(std::string& line);
  /// The offset of the line the next call returns.
  std::uint64_t position() const { return position_; }

private:
  TrayTextReader(platform::FileLock file, std::uint64_t offset, std::uint32_t maxLines)
      : file_(std::move(file)), position_(offset), left_(maxLines) {}
  bool fill();

  platform::FileLock file_;
  std::uint64_t position_;
  std::uint32_t left_;
  std::string buffer_;
  std::size_t used_ = 0;  // bytes of buffer_ already returned
  bool atEnd_ = false;
};

}  // namespace zorvik::store
