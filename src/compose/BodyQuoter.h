/// \file
/// Quotes the body of a source mail into a draft: each line gets the quote
/// prefix (or keeps its own quote mark), empty lines stay empty, long lines
/// are broken at the width of settings item 517 (never inside a double-byte
/// character), and the user's own signature at the end of the mail is left
/// out, so that a reply to the user's own mail does not carry it twice.
///
/// Tag lines ("@#..."): a line of the user's own mail is the user's own
/// command and is copied without prefix; an attachment reference "%:name"
/// becomes "@#MIME" with the stored file's full path, so the draft attaches
/// the same file again (a forward carries the mail's attachments). In a mail
/// the user did not write, a reference the mail's own folder resolves is the
/// only tag line taken over: any other "@#" line is the sender's text and is
/// quoted as text, ">" in front even where the prefix is empty, so no
/// received line can ever attach a file of the user's ("/etc/passwd").
///
/// A line's own quote mark is its text up to and including the first ">"
/// within its first 20 bytes that does not follow "-" or "=" and has no "<"
/// before it ("> ", "taro> ", "|>"); arrows and tags in the text further on
/// are not quote marks.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compose/SourceMail.h"

namespace zorvik::compose {

class BodyQuoter {
public:
  /// How far into a line a quote mark is looked for.
  static constexpr std::size_t kQuoteMarkLimit = 20;

  /// `lineWidth` is settings item 517 (0: lines are not broken);
  /// `signature` the lines of the user's signature to leave out.
  BodyQuoter(std::string prefix, int lineWidth, std::vector<std::string> signature);

  /// Appends the quote of the whole body of `source` to `out`, each line
  /// ended with LF.
  void quote(const SourceMail& source, std::string& out) const;
  /// The same for body lines [first, first + count) only.
  void quote(const SourceMail& source, std::size_t first, std::size_t count, std::string& out) const;

  /// The length of `line`'s own quote mark, 0 when it has none.
  static std::size_t quoteMarkLength(std::string_view line);

private:
  void quoteLine(const SourceMail& source, const std::string& line, std::string& out) const;
  void quoteText(std::string_view line, std::string_view prefix, std::string& out) const;
  std::optional<std::string> commandLine(const SourceMail& source, const std::string& line) const;

  std::string prefix_;
  std::size_t lineWidth_;
  std::vector<std::string> signature_;
};

}  // namespace zorvik::compose
