/// \file
/// The parameters of a Content-Type or Content-Disposition value
/// ("; charset=iso-2022-jp; name=\"a b.txt\""), read leniently: names in any
/// letter case, quoted values that continue over folded lines, unquoted
/// values up to white space or ";", comments in parentheses skipped.
///
/// RFC 2231 extended parameters (filename*=utf-8''%E5%86%99.jpg, and the
/// continuations name*0*, name*1, ...) are joined in section order before the
/// charset is applied, so a character cut between two sections comes out
/// whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorvik::message {

class MimeParameters {
public:
  /// Reads the parameters after the first ";" of `value` (the header value
  /// with its folding CR LFs); no ";" means no parameters.
  explicit MimeParameters(std::string_view value);

  /// The plain value of parameter `name` (quotes removed, folding dropped);
  /// empty when the parameter is absent.
  std::optional<std::string> get(std::string_view name) const;

  /// The RFC 2231 value of `name` converted to Shift_JIS: "name*" alone, or
  /// the sections "name*0", "name*1", ... (each with or without its own
  /// "*") joined in order up to the first missing number. Empty when there
  /// is neither form.
  std::optional<std::string> extended(std::string_view name) const;

private:
  std::vector<std::pair<std::string, std::string>> parameters_;  // lower-case name, value
};

}  // namespace zorvik::message
