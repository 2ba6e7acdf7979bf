/// \file
/// The template and signature files of the template folder (settings item
/// 105): "<name>.XM8" in its sub-folders "New", "Reply" and "Trans" (the
/// templates for new mail, replies and forwards) and "Sign" (signatures).
///
/// They are text files the user writes, so they come in whatever the
/// editor wrote: Shift_JIS as Zorvik expects, or UTF-8 (with or without a
/// byte-order mark) from a Linux editor. A file that is valid UTF-8 and not
/// plain ASCII is read as UTF-8 and converted; anything else is taken as
/// Shift_JIS. (Real Shift_JIS text is almost never valid UTF-8: its
/// second bytes 0x40-0x7E and its single-byte katakana break UTF-8 at once.)
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::compose {

enum class TemplateFolder { New, Reply, Trans, Sign };

class TemplateFiles {
public:
  /// `folder` is the template folder, a Shift_JIS path.
  explicit TemplateFiles(std::string folder) : folder_(std::move(folder)) {}

  /// The path of template `name` in `folder`.
  std::string path(TemplateFolder folder, std::string_view name) const;

  /// The lines of template `name` (Shift_JIS, without line ends). Empty
  /// when the file cannot be read.
  std::optional<std::vector<std::string>> readLines(TemplateFolder folder, std::string_view name) const;

  /// The bytes of a text file as Shift_JIS (see above).
  static std::string asSjis(std::string_view bytes);

  /// `text` cut into lines at LF, a CR before it dropped; a last line
  /// ending with a line end gives no empty line after it.
  static std::vector<std::string> lines(std::string_view text);

private:
  std::string folder_;
};

}  // namespace zorvik::compose
