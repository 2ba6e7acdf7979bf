/// \file
/// The check made before a draft is queued: every character of its subject
/// and text that will not arrive as written, with where it stands. Mail
/// leaves as ISO-2022-JP, which carries JIS X 0208 only:
///  - user-defined characters and undefined codes arrive as "〓";
///  - the NEC and IBM extensions of code page 932 (①, ㈱, ⅰ) arrive right
///    only in Windows readers;
///  - half-width katakana are sent in their full-width forms.
/// Tag-command lines are not looked at: they are not sent as text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zorvik::compose {

struct CharacterFinding {
  enum class Kind { replaced, windowsOnly, halfWidthKana };

  int line = 0;    ///< 1-based line of the text; 0 for the subject
  int column = 0;  ///< 1-based, counted in characters
  std::string character;  ///< Shift_JIS
  Kind kind = Kind::replaced;

  bool operator==(const CharacterFinding&) const = default;
};

class SendCharacterCheck {
public:
  /// The findings of `subject` and `text` (LF or CR LF between lines), in
  /// reading order.
  static std::vector<CharacterFinding> run(std::string_view subject, std::string_view text);
  /// True when a finding changes what the reader sees (anything but
  /// half-width katakana, whose full-width forms read the same): the user
  /// is asked before such a draft is queued.
  static bool needsConsent(const std::vector<CharacterFinding>& findings);
  /// "replaced", "windows-only" or "half-width-kana".
  static std::string_view kindName(CharacterFinding::Kind kind);
};

}  // namespace zorvik::compose
