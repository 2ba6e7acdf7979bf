#include "compose/EditMap.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace zorvik::compose {
namespace {

// How far ahead a line is looked for among the loaded ones.
constexpr std::size_t kReach = 200;

std::optional<int> number(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

}  // namespace

std::string EditMap::format() const {
  std::string text = std::to_string(characterWidth) + "," + std::to_string(indentCharacters);
  for (const auto& [first, last] : typed) {
    text += "," + std::to_string(first);
    if (last != first) text += "-" + std::to_string(last);
  }
  return text;
}

EditMap EditMap::parse(std::string_view value) {
  std::vector<std::string_view> fields;
  while (true) {
    const std::size_t comma = value.find(',');
    fields.push_back(value.substr(0, comma));
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  EditMap map;
  if (fields.size() < 2) return map;
  const auto width = number(fields[0]);
  const auto indent = number(fields[1]);
  if (!width || !indent) return map;
  map.characterWidth = *width;
  map.indentCharacters = *indent;
  for (std::size_t i = 2; i < fields.size(); ++i) {
    const std::size_t dash = fields[i].find('-');
    const auto first = number(fields[i].substr(0, dash));
    const auto last = dash == std::string_view::npos ? first : number(fields[i].substr(dash + 1));
    if (!first || !last || *last < *first) return EditMap{map.characterWidth, map.indentCharacters, {}};
    map.typed.emplace_back(*first, *last);
  }
  return map;
}

bool EditMap::isTyped(int line) const {
  for (const auto& [first, last] : typed) {
    if (line >= first && line <= last) return true;
  }
  return false;
}

EditMap EditMap::afterEdit(const std::vector<std::string>& loaded, const EditMap& before,
                           const std::vector<std::string>& edited) {
  EditMap after{before.characterWidth, before.indentCharacters, {}};
  std::size_t next = 0;  // the first loaded line not matched yet
  for (std::size_t line = 0; line < edited.size(); ++line) {
    bool typed = true;
    const std::size_t reach = std::min(loaded.size(), next + kReach);
    for (std::size_t at = next; at < reach; ++at) {
      if (loaded[at] != edited[line]) continue;
      typed = before.isTyped(static_cast<int>(at));
      next = at + 1;
      break;
    }
    if (!typed) continue;
    const int current = static_cast<int>(line);
    if (!after.typed.empty() && after.typed.back().second == current - 1) {
      after.typed.back().second = current;
    } else {
      after.typed.emplace_back(current, current);
    }
  }
  return after;
}

}  // namespace zorvik::compose
