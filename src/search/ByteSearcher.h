/// \file
/// Finds a byte string in a block of text at close to the speed of memchr.
/// Two bytes of the string are chosen to be rare in mail (not the ASCII
/// letters, spaces and kana bytes every line is full of). memchr finds the
/// rarer one and the other is checked before the whole string is compared;
/// when the rarer byte turns out to be common in the text at hand, the
/// search goes on comparing both bytes with 16 bytes of text at once, so a
/// bad guess costs a constant, not a call for every byte. The vectors are
/// the compiler's portable ones: no particular processor is needed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zorvik::search {

class ByteSearcher {
public:
  explicit ByteSearcher(std::string needle);

  const std::string& needle() const { return needle_; }

  /// How common a byte is in Japanese mail, roughly: higher is more common.
  static int commonness(char byte);

  /// The first offset at or after `from` where the needle lies in `text`,
  /// or npos. An empty needle is found nowhere.
  std::size_t find(std::string_view text, std::size_t from) const;

private:
  std::size_t findPacked(std::string_view text, std::size_t from) const;

  std::string needle_;
  std::size_t rare_ = 0;   // the offsets in the needle of the rarest byte
  std::size_t other_ = 0;  // and of the next rarest (at another offset)
};

}  // namespace zorvik::search
