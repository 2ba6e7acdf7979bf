#include "core/MessageFormat.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace zorvik::core {

std::string MessageArg::text() const {
  if (const auto* s = std::get_if<std::string>(&value_)) return *s;
  return std::to_string(std::get<std::int64_t>(value_));
}

std::int64_t MessageArg::number() const {
  if (const auto* n = std::get_if<std::int64_t>(&value_)) return *n;
  return std::strtoll(std::get<std::string>(value_).c_str(), nullptr, 10);
}

namespace {

constexpr std::string_view kFlags = "-+ #0";
constexpr std::string_view kLengths = "hlLqjzt";

// One "%..." placeholder: the flags, width and precision are kept, the length
// modifiers are replaced by what the argument really is.
struct Placeholder {
  std::string flagsWidthPrecision;
  char conversion = 0;
  std::size_t length = 0;  // characters of the format it covers
};

Placeholder parsePlaceholder(std::string_view format) {
  Placeholder p;
  std::size_t i = 1;
  while (i < format.size() && kFlags.find(format[i]) != std::string_view::npos) ++i;
  while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i;
  if (i < format.size() && format[i] == '.') {
    ++i;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i;
  }
  p.flagsWidthPrecision = std::string(format.substr(1, i - 1));
  while (i < format.size() && kLengths.find(format[i]) != std::string_view::npos) ++i;
  if (i < format.size()) p.conversion = format[i++];
  p.length = i;
  return p;
}

// The format passed to snprintf is rebuilt by parsePlaceholder from flags,
// digits and one conversion letter that matches the type of `value`, so the
// format cannot ask for an argument that is not there.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
std::string printfOne(const std::string& conversion, auto value) {
  const int size = std::snprintf(nullptr, 0, conversion.c_str(), value);
  if (size <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
  std::snprintf(buffer.data(), buffer.size(), conversion.c_str(), value);
  return std::string(buffer.data(), static_cast<std::size_t>(size));
}
#pragma GCC diagnostic pop

std::string formatOne(const Placeholder& p, const MessageArg* arg) {
  const std::string base = "%" + p.flagsWidthPrecision;
  switch (p.conversion) {
    case 's': return printfOne(base + "s", (arg ? arg->text() : std::string()).c_str());
    case 'c': return printfOne(base + "c", static_cast<int>(arg ? arg->number() : 0));
    case 'd':
    case 'i': return printfOne(base + "lld", static_cast<long long>(arg ? arg->number() : 0));
    case 'u':
    case 'x':
    case 'X':
    case 'o':
      return printfOne(base + "ll" + p.conversion,
                       static_cast<unsigned long long>(arg ? arg->number() : 0));
    default: return {};
  }
}

}  // namespace

std::string formatMessage(std::string_view format, MessageArgs args) {
  std::string out;
  const MessageArg* next = args.begin();
  std::size_t i = 0;
  while (i < format.size()) {
    const auto percent = format.find('%', i);
    out.append(format.substr(i, percent == std::string_view::npos ? std::string_view::npos : percent - i));
    if (percent == std::string_view::npos) break;
    if (percent + 1 < format.size() && format[percent + 1] == '%') {
      out += '%';
      i = percent + 2;
      continue;
    }
    const Placeholder p = parsePlaceholder(format.substr(percent));
    const MessageArg* arg = next != args.end() ? next++ : nullptr;
    out += formatOne(p, arg);
    i = percent + p.length;
  }
  return out;
}

std::string cutSjis(std::string text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = 0;
  while (end < limit) {
    const std::size_t step = sjisCharLength(text, end);
    if (end + step > limit) break;
    end += step;
  }
  text.resize(end);
  return text;
}

}  // namespace zorvik::core
