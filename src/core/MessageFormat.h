/// \file
/// printf-style formatting of message texts with arguments that carry their
/// own type, so a wrong argument can never read beyond the call.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "core/SjisText.h"

namespace zorvik::core {

/// One argument of a message: text (Shift_JIS) or a number.
class MessageArg {
public:
  MessageArg(const char* text) : value_(std::string(text ? text : "")) {}  // NOLINT: implicit by design
  MessageArg(std::string_view text) : value_(std::string(text)) {}         // NOLINT
  MessageArg(const std::string& text) : value_(text) {}                    // NOLINT
  template <typename N, typename = std::enable_if_t<std::is_integral_v<N>>>
  MessageArg(N number) : value_(static_cast<std::int64_t>(number)) {}       // NOLINT

  /// The argument as text: numbers in decimal.
  std::string text() const;
  /// The argument as a number: text is converted like atoi.
  std::int64_t number() const;

private:
  std::variant<std::string, std::int64_t> value_;
};

using MessageArgs = std::initializer_list<MessageArg>;

/// Formats `format` with `args`: %s, %d, %i, %u, %x, %X, %c, %ld and the like,
/// with flags, width and precision; "%%" is a percent sign. A placeholder
/// without an argument formats as empty text or 0.
std::string formatMessage(std::string_view format, MessageArgs args);

/// Cuts Shift_JIS text to at most `limit` bytes without splitting a
/// double-byte character.
std::string cutSjis(std::string text, std::size_t limit);

}  // namespace zorvik::core
