/// \file
/// Where window layout values live between runs: an INI file of named
/// sections holding "name=value" lines, read once at start and written back
/// at exit. The desktop client keeps it per user in
/// "$XDG_CONFIG_HOME/Qel/Zorvik/registry.ini" (the `noreg` start uses
/// "./Zorvik.ini"); section names are registry paths with "-" for each
/// "\" ("taro-xm9", "taro-VWitem", "System", "CurUser").
///
/// Two instances (two accounts) may run at once and both write at exit, so
/// saving never writes the whole memory image over the other's work: under
/// an exclusive lock on a lock file beside it, the file is read again, the
/// values this process set are applied on top, and the result is written to
/// a temporary file and renamed into place. Values only read are taken as
/// the file now has them.
///
/// Reading: a line beginning with "[" opens the section named by the line
/// without its first and last character; a line with "=" after its first
/// character adds a value; other lines are ignored. The file is UTF-8, the
/// values are handed in and out as Shift_JIS.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorvik::view {

class LayoutStore {
public:
  /// The store at `path` (Shift_JIS); missing or unreadable is empty.
  explicit LayoutStore(std::string path);

  /// The per-user store: "$XDG_CONFIG_HOME/Qel/Zorvik/registry.ini", with
  /// "~/.config" when the variable is not set.
  static std::string userStorePath();
  /// The `noreg` store: "Zorvik.ini" in the current directory.
  static std::string localStorePath();
  /// A registry path as a section name: "\" and "/" become "-".
  static std::string sectionName(std::string_view registryPath);

  const std::string& path() const { return path_; }
  /// Whether the file existed when the store was read.
  bool existed() const { return existed_; }

  bool hasSection(std::string_view section) const;
  std::int32_t number(std::string_view section, std::string_view name, std::int32_t fallback) const;
  std::string text(std::string_view section, std::string_view name, std::string_view fallback = {}) const;
  void setNumber(std::string_view section, std::string_view name, std::int32_t value);
  void setText(std::string_view section, std::string_view name, std::string_view value);

  /// Merges the values set since the store was read into the file as it is
  /// now and writes it (see above); the folder is created when missing.
  /// False when it cannot be written.
  bool save();

  /// The text of the file this store would write (for tests and save()).
  std::string render() const;

private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;  // Shift_JIS
  };

  void parse(std::string_view utf8);
  const std::string* find(std::string_view section, std::string_view name) const;
  void put(std::string_view section, std::string_view name, std::string value);

  std::string path_;
  bool existed_ = false;
  std::vector<Section> sections_;
  std::set<std::pair<std::string, std::string>> changed_;
};

}  // namespace zorvik::view
