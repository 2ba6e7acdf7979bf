/// \file
/// The subject of a reply, a forward and an addition. Earlier replies are
/// counted over the whole subject by a forgiving matcher: "Re:" counts 1,
/// "Re^3:" counts 3, and the letters R, E and the colon need not stand
/// together ("Report review: x" counts 1 as well, as it always has). The
/// new subject is "Re:" and the subject when nothing was counted, else
/// "Re^<count + 1>:" and the text after the last counted prefix; double-
/// byte characters are stepped over whole.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::compose {

class ReplySubject {
public:
  struct Count {
    int replies = 0;
    std::string_view rest;  ///< the text after the last prefix counted
  };

  static Count count(std::string_view subject);
  /// "Re:" + subject, or "Re^n:" + the rest.
  static std::string reply(std::string_view subject);
  /// "FW:" + the subject.
  static std::string forward(std::string_view subject) { return "FW:" + std::string(subject); }
  /// "PS:" + the subject.
  static std::string addition(std::string_view subject) { return "PS:" + std::string(subject); }
  /// `subject` without the first "[keyword]" in it (the tray's keyword,
  /// which storing the draft puts in front again); unchanged for an empty
  /// keyword.
  static std::string withoutKeyword(std::string_view subject, std::string_view keyword);
};

}  // namespace zorvik::compose
