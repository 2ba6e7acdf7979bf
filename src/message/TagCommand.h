/// \file
/// The tag commands a draft's body may hold: a line beginning with "@#MIME "
/// or "@#UUENCODE " names a file to attach, a line beginning with
/// "@#HEADER " carries an extra header line. The command word is matched
/// exactly, in upper case, at the very start of the line; any other line
/// (the "@#BINHEX" and "@#INCLUDE" tags among them) is plain text.
///
/// A path is written in double quotes or runs to the line end. Drafts are
/// typed by hand, so the quoting may be odd: a missing closing quote takes
/// the rest of the line, text after the closing quote is ignored, and a tag
/// that names no file at all is not a tag but a text line (nothing to
/// attach, nothing to refuse the mail for).
#pragma once

#include <string>
#include <string_view>

namespace zorvik::message {

struct TagCommand {
  enum class Kind { text, mime, uuencode, header };

  static constexpr std::string_view kMime = "@#MIME ";
  static constexpr std::string_view kUuencode = "@#UUENCODE ";
  static constexpr std::string_view kHeader = "@#HEADER ";

  Kind kind = Kind::text;
  /// What follows the command word and its white space, as written (quotes
  /// included): the text that stands for the file when attachments are not
  /// sent, or the header line of "@#HEADER ".
  std::string argument;
  /// For mime and uuencode: the file's path without quotes, its name (after
  /// the last "/" or "\", double-byte characters stepped over whole) and
  /// its extension (from the last "." of the name, the dot included; empty
  /// when the name has none).
  std::string path;
  std::string fileName;
  std::string extension;

  /// The command of a Shift_JIS body line (without its line end). A
  /// "@#HEADER " line whose argument is not a header line ("Name: value"
  /// with a name of visible ASCII characters) is text too: it would break
  /// the header it was meant for.
  static TagCommand parse(std::string_view line);
};

}  // namespace zorvik::message
