#include "core/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace zorvik::core {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view withoutSwitchPrefix(std::string_view argument) {
  if (argument.starts_with("--")) return argument.substr(2);
  if (argument.starts_with("-")) return argument.substr(1);
  return {};
}

bool isMailto(std::string_view text) { return text.size() >= 7 && equalsIgnoringCase(text.substr(0, 7), "mailto:"); }

}  // namespace

CommandLine CommandLine::parse(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (const std::string& argument : arguments) {
    const std::string_view name = withoutSwitchPrefix(argument);
    const std::string_view candidate = name.empty() ? std::string_view(argument) : name;
    if (isMailto(candidate)) {
      line.mailto = true;
      line.mailtoText = std::string(candidate.substr(7));
    } else if (name.empty() && !argument.starts_with("-") && line.fileName.empty()) {
      line.fileName = argument;
    } else if (equalsIgnoringCase(name, "init")) {
      line.init = true;
    } else if (equalsIgnoringCase(name, "notip")) {
      line.notip = true;
    } else if (equalsIgnoringCase(name, "noreg")) {
      line.noreg = true;
    } else if (equalsIgnoringCase(name, "chdir")) {
      line.chdir = true;
    } else {
      line.unknown.push_back(argument);
    }
  }
  // The chdir switch is accepted and changes nothing: the program always
  // behaves as if it had been given.
  line.chdir = true;
  return line;
}

}  // namespace zorvik::core
