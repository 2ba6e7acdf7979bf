/// \file
/// Zorvik's own header line "Zorvik: code,text,switch1,switch2,number", kept
/// in every stored mail the user wrote: the code says where the mail came
/// from (100 written here, 101 sent, 200 received), the number is the size in
/// kilobytes above which an outgoing mail is split (0 never).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zorvik::message {

struct InternalLine {
  std::int32_t code = 0;
  std::string text;
  bool switch1 = false;
  bool switch2 = false;
  std::int32_t number = 0;

  /// Reads a value after "Zorvik: ". Lenient, as the line may be damaged:
  /// a missing field is 0 or empty, a number too large for 32 bits is
  /// clamped. Without a second comma everything after the first comma is
  /// the text. The text cannot hold a comma (it would end the text).
  static InternalLine parse(std::string_view value);

  /// "code,text,s1,s2,number" as parse() reads it back.
  std::string format() const;
};

}  // namespace zorvik::message
