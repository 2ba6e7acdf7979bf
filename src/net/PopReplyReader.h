/// \file
/// Cuts the byte stream of a POP3 server into complete lines. Bytes after
/// the last line end of a read are kept as the carry-over and put in front of
/// the next read, so a reply split inside a line is only handed on once the
/// line is complete. The carry-over is bounded: a server that sends an
/// endless line ends the reading with Overflow instead of filling memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zorvik::net {

class PopReplyReader {
public:
  /// Longest line kept by default. Far above any sane mail line (a body
  /// without line breaks still arrives), far below what hurts memory.
  static constexpr std::size_t kDefaultLineLimit = 8u << 20;

  enum class Result {
    Lines,     // `lines` holds one or more complete lines
    Partial,   // only part of a line arrived; nothing to hand on yet
    Overflow,  // the incomplete line grew beyond the limit
  };

  explicit PopReplyReader(std::size_t lineLimit = kDefaultLineLimit) : lineLimit_(lineLimit) {}

  /// Replaces `lines` with the carry-over plus `bytes` up to and including
  /// the last line feed; keeps the rest as the new carry-over. A line ends at
  /// LF (CR LF from a well-behaved server; a bare LF is accepted too).
  Result feed(std::string_view bytes, std::string& lines);

  /// Forgets the carry-over (a new connection starts clean).
  void clear() { carry_.clear(); }
  std::size_t carried() const { return carry_.size(); }

private:
  std::size_t lineLimit_;
  std::string carry_;
};

}  // namespace zorvik::net
