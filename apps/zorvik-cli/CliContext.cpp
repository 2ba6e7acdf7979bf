#include "CliCommand.h"

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

namespace zorvik::cli {

std::vector<CommandInfo>& commandRegistry() {
  static std::vector<CommandInfo> registry;
  return registry;
}

CliContext::CliContext(std::string settingsPath, std::vector<std::string> args, core::Messages& messages,
                       std::ostream& out, std::ostream& err, bool json, bool answerYes)
    : settingsPath_(std::move(settingsPath)),
      args_(std::move(args)),
      messages_(messages),
      out_(out),
      err_(err),
      json_(json),
      answerYes_(answerYes) {}

core::SettingsFile* CliContext::rawSettings() {
  if (settings_) return &*settings_;
  if (settingsPath_.empty()) {
    err_ << "zorvik-cli: no settings file: give --settings FILE or set ZORVIK_SETTINGS\n";
    return nullptr;
  }
  settings_.emplace();
  if (!platform::pathExists(settingsPath_)) return &*settings_;
  if (!settings_->load(settingsPath_, messages_)) {
    settings_.reset();
    return nullptr;
  }
  return &*settings_;
}

namespace {

std::string jsonString(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

}  // namespace

void CliContext::printRow(const std::vector<std::string>& fields) {
  std::string line = json_ ? "[" : "";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += json_ ? "," : "\t";
    const std::string utf8 = platform::sjisToUtf8(fields[i]);
    line += json_ ? jsonString(utf8) : utf8;
  }
  if (json_) line += "]";
  out_ << line << '\n';
}

void CliContext::printRow(std::initializer_list<std::string_view> fields) {
  printRow(std::vector<std::string>(fields.begin(), fields.end()));
}

void CliContext::printText(std::string_view sjis) { out_ << platform::sjisToUtf8(sjis); }

void CliContext::status(std::string_view sjis) { err_ << platform::sjisToUtf8(sjis) << '\n'; }

int CliContext::usage(std::string_view text) {
  err_ << "zorvik-cli: " << text << '\n';
  return kUsage;
}

}  // namespace zorvik::cli
