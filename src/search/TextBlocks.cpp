#include "search/TextBlocks.h"

#include <string.h>

#include <algorithm>
#include <cstring>

namespace zorvik::search {

std::optional<TextBlocks> TextBlocks::open(std::string_view path) {
  auto file = platform::FileLock::open(path, platform::FileAccess::Read);
  if (!file) return std::nullopt;
  const auto size = file->size();
  if (!size) return std::nullopt;
  return TextBlocks(std::move(*file), std::string(path), *size);
}

bool TextBlocks::load(std::uint64_t from, std::size_t need) {
  const std::uint64_t end = std::min<std::uint64_t>(from + need, size_);
  if (holds(from, end)) return true;
  if (buffer_.size() < need) buffer_.resize(std::max(need, kBlockSize));
  // What is already there from `from` on moves to the front; the rest is
  // read, as much as the buffer takes.
  std::size_t kept = 0;
  if (from >= start_ && from < start_ + filled_) {
    kept = static_cast<std::size_t>(start_ + filled_ - from);
    std::memmove(buffer_.data(), buffer_.data() + (from - start_), kept);
  }
  start_ = from;
  filled_ = kept;
  while (start_ + filled_ < end) {
    const auto got = file_.readAt(start_ + filled_, buffer_.data() + filled_, buffer_.size() - filled_);
    if (!got || *got == 0) return false;
    filled_ += *got;
  }
  return true;
}

std::string_view TextBlocks::lines(std::uint64_t from) {
  // Each round reads a larger block, until one holds a line end (or the
  // file's end): only a line longer than a block needs a second round.
  for (std::size_t want = kBlockSize; from < size_; want *= 2) {
    if (holds(from, from + 1)) {
      const std::string_view held(buffer_.data() + (from - start_), static_cast<std::size_t>(start_ + filled_ - from));
      if (const void* lastEnd = ::memrchr(held.data(), '\n', held.size()))
        return held.substr(0, static_cast<std::size_t>(static_cast<const char*>(lastEnd) - held.data()) + 1);
      if (start_ + filled_ == size_) return held;
    }
    if (!load(from, want)) return {};
  }
  return {};
}

std::string_view TextBlocks::bytes(std::uint64_t from, std::uint64_t to) {
  to = std::min(to, size_);
  if (from >= to) return {};
  if (!load(from, static_cast<std::size_t>(to - from))) return {};
  return {buffer_.data() + (from - start_), static_cast<std::size_t>(to - from)};
}

std::uint64_t TextBlocks::lineEnd(std::uint64_t from) {
  const std::string_view view = lines(from);
  if (view.empty()) return size_;
  const std::size_t newline = view.find('\n');
  return newline == std::string_view::npos ? from + view.size() : from + newline + 1;
}

std::uint64_t TextBlocks::countLines(std::uint64_t from, std::uint64_t to, std::uint64_t most) {
  std::uint64_t counted = 0;
  while (from < to && counted < most) {
    std::string_view view = lines(from);
    if (view.empty()) break;
    view = view.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(view.size(), to - from)));
    for (const char* p = view.data(); counted < most;) {
      p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(view.data() + view.size() - p)));
      if (!p) break;
      ++counted;
      ++p;
    }
    from += view.size();
  }
  return counted;
}

std::uint64_t TextBlocks::skipLines(std::uint64_t from, std::uint64_t count) {
  for (std::uint64_t skipped = 0; skipped < count && from < size_; ++skipped) from = lineEnd(from);
  return from;
}

}  // namespace zorvik::search
