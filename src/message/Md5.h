/// \file
/// MD5 (RFC 1321), for the APOP login digest.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zorvik::message {

class Md5 {
public:
  using Digest = std::array<std::uint8_t, 16>;

  /// Adds bytes to the message; may be called any number of times.
  void update(std::string_view bytes);
  /// The digest of everything added. Ends the message: call once.
  Digest finish();

  /// The digest of `bytes` as 32 lower-case hex digits, as APOP sends it.
  static std::string hex(std::string_view bytes);

private:
  void transform(const unsigned char* block);

  std::array<std::uint32_t, 4> state_ = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};
  std::array<unsigned char, 64> block_{};
  std::uint64_t length_ = 0;  // bytes added so far
};

}  // namespace zorvik::message
