/// \file
/// One content line of a vCard: "[group.]NAME[;param...]:value", unfolded.
/// The value is kept as the file writes it (UTF-8, vCard escapes in
/// place), so a property Zorvik does not know goes back out byte for byte;
/// the parts Zorvik reads are unescaped on the way out (see text()).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::addressbook {

struct VCardProperty {
  std::string group;                ///< "item1" of "item1.EMAIL"; usually empty
  std::string name;                 ///< upper case: "EMAIL"
  std::vector<std::string> params;  ///< as written: "TYPE=INTERNET"
  std::string value;                ///< escaped UTF-8

  /// Splits an unfolded content line; empty when it has no ":" or no name.
  static std::optional<VCardProperty> parse(std::string_view line);
  /// The content line, unfolded.
  std::string line() const;

  /// The value unescaped ("\n" a line break, "\," ",", "\;" ";", "\\" "\").
  std::string text() const;
  /// Component `index` of a structured value (N, ORG: parts split at ";"),
  /// unescaped; "" past the last.
  std::string component(std::size_t index) const;
  /// The value of parameter `name` (compared without regard to case).
  std::optional<std::string> param(std::string_view name) const;
  /// Removes the parameters named `name`.
  void removeParam(std::string_view name);

  /// `text` escaped as a value (for a structured value, one component).
  static std::string escape(std::string_view text);
};

}  // namespace zorvik::addressbook
