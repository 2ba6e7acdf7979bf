/// \file
/// A tray text file (".XM0") read in large blocks under a shared lock, for
/// the search: the whole file passes through one buffer once when its mails
/// are taken in order, and what the search looks at is a view into the
/// buffer, never a copy of a line.
///
/// Blocks end after a line end, so a match, which never runs past a line,
/// is never cut in two; a line longer than the buffer makes the buffer
/// grow. Every block begins where a line does (a character boundary),
/// which is what the matcher needs to tell trail bytes from lead bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileLock.h"

namespace zorvik::search {

class TextBlocks {
public:
  static constexpr std::size_t kBlockSize = 256 * 1024;

  /// Opens the text file at `path`; empty when it cannot be read.
  static std::optional<TextBlocks> open(std::string_view path);

  const std::string& path() const { return path_; }
  std::uint64_t size() const { return size_; }

  /// Whole lines from `from` (a line start) on: at least one line, and
  /// as many as the buffer holds. Empty at the end of the file or on an
  /// I/O error. Valid until the next call.
  std::string_view lines(std::uint64_t from);
  /// The bytes [from, to) (`to` cut at the end of the file); `from` should
  /// be a line start. Valid until the next call.
  std::string_view bytes(std::uint64_t from, std::uint64_t to);
  /// Where the line that starts at `from` ends: the offset after its LF,
  /// or the end of the file.
  std::uint64_t lineEnd(std::uint64_t from);
  /// How many line ends lie in [from, to), counting no further than `most`.
  std::uint64_t countLines(std::uint64_t from, std::uint64_t to, std::uint64_t most);
  /// The offset after `count` lines from `from` (the end of the file when
  /// it has fewer).
  std::uint64_t skipLines(std::uint64_t from, std::uint64_t count);

private:
  TextBlocks(platform::FileLock file, std::string path, std::uint64_t size)
      : file_(std::move(file)), path_(std::move(path)), size_(size) {}
  // Makes the buffer hold [from, from + need), or up to the end of the
  // file; when it must read, it fills the buffer.
  bool load(std::uint64_t from, std::size_t need);
  bool holds(std::uint64_t from, std::uint64_t to) const { return from >= start_ && to <= start_ + filled_; }

  platform::FileLock file_;
  std::string path_;
  std::uint64_t size_;
  std::string buffer_;
  std::uint64_t start_ = 0;  // file offset of buffer_[0]
  std::size_t filled_ = 0;   // bytes of buffer_ read
};

}  // namespace zorvik::search
