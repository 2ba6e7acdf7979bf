#include "view/EditorWindowRules.h"

#include <string_view>

namespace zorvik::view {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The keysym xdotool knows for a virtual key code; empty for one it has none for.
std::string keysymOf(int key) {
  if (key >= 'A' && key <= 'Z') return std::string(1, lower(static_cast<char>(key)));
  if (key >= '0' && key <= '9') return std::string(1, static_cast<char>(key));
  if (key >= 112 && key <= 135) return "F" + std::to_string(key - 111);
  switch (key) {
    case 8: return "BackSpace";
    case 9: return "Tab";
    case 13: return "Return";
    case 27: return "Escape";
    case 32: return "space";
    case 33: return "Prior";
    case 34: return "Next";
    case 35: return "End";
    case 36: return "Home";
    case 37: return "Left";
    case 38: return "Up";
    case 39: return "Right";
    case 40: return "Down";
    case 45: return "Insert";
    case 46: return "Delete";
    default: return {};
  }
}

// "^83", "#!70", "112": prefixes, then a decimal key code. A lone digit is
// a menu letter of the classic form, not key code 0-9.
bool isStrokeNotation(std::string_view part) {
  std::size_t prefixes = 0;
  while (prefixes < part.size() && (part[prefixes] == '^' || part[prefixes] == '!' || part[prefixes] == '#'))
    ++prefixes;
  const std::string_view digits = part.substr(prefixes);
  if (digits.empty() || digits.size() > 3) return false;
  for (const char c : digits)
    if (!isDigit(c)) return false;
  return prefixes > 0 || digits.size() >= 2;
}

std::string strokeKeys(std::string_view part) {
  std::string modifiers;
  std::size_t at = 0;
  for (; at < part.size() && !isDigit(part[at]); ++at) {
    if (part[at] == '^') modifiers += "ctrl+";
    if (part[at] == '!') modifiers += "shift+";
    if (part[at] == '#') modifiers += "alt+";
  }
  const std::string keysym = keysymOf(std::stoi(std::string(part.substr(at))));
  return keysym.empty() ? std::string() : modifiers + keysym;
}

void addLetters(std::string_view part, std::vector<std::string>& keys) {
  bool first = true;
  for (const char c : part) {
    if (!isLetter(c) && !isDigit(c)) continue;
    keys.push_back((first ? "alt+" : "") + std::string(1, lower(c)));
    first = false;
  }
}

}  // namespace

std::string EditorWindowRules::title(const std::string& item111, const std::string& filePath, bool fullPath) {
  const std::string name = fullPath ? filePath : filePath.substr(filePath.rfind('/') + 1);
  std::string out;
  for (std::size_t i = 0; i < item111.size(); ++i) {
    if (item111[i] != '%' || i + 1 == item111.size()) {
      out += item111[i];
    } else if (item111[i + 1] == 's') {
      out += name;
      ++i;
    } else if (item111[i + 1] == '%') {
      out += '%';
      ++i;
    } else {
      out += '%';
    }
  }
  return out;
}

std::string EditorWindowRules::titlePattern(const std::string& title) {
  std::string pattern = "^";
  for (const char c : title) {
    if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) pattern += '\\';
    pattern += c;
  }
  return pattern + "$";
}

std::vector<std::string> EditorWindowRules::saveKeys(const std::string& item107) {
  std::vector<std::string> keys;
  std::size_t start = 0;
  while (start <= item107.size()) {
    std::size_t end = item107.find(',', start);
    if (end == std::string::npos) end = item107.size();
    std::string_view part = std::string_view(item107).substr(start, end - start);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    if (isStrokeNotation(part)) {
      if (std::string stroke = strokeKeys(part); !stroke.empty()) keys.push_back(std::move(stroke));
    } else {
      addLetters(part, keys);
    }
    start = end + 1;
  }
  if (keys.size() > kMaxStrokes) keys.resize(kMaxStrokes);
  return keys;
}

}  // namespace zorvik::view
