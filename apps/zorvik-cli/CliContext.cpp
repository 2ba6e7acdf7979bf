#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "CliCommand.h"
#include "Interrupt.h"
#include "OutputRecord.h"
#include "TerminalProgress.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Sound.h"
#include "platform/TextEncoding.h"

namespace zorvik::cli {

std::vector<CommandInfo>& commandRegistry() {
  static std::vector<CommandInfo> registry;
  return registry;
}

// What frontEnd() lends a workflow; made on first use, since only the
// workflows need it and only they may take over Ctrl-C.
struct CliContext::Terminal {
  explicit Terminal(CliContext& context)
      : progress([&context](const std::string& line) { context.status(line); }),
        bell(std::cerr),
        front{progress, isatty(STDERR_FILENO) ? static_cast<platform::Sound&>(bell) : silence,
              platform::SystemClock::instance(), stop} {
    watchInterrupts(stop);
  }

  TerminalProgress progress;
  platform::TerminalBell bell;
  platform::SilentSound silence;
  mailflow::StopRequest stop;
  mailflow::FrontEnd front;
};

CliContext::CliContext(std::string settingsPath, std::vector<std::string> args, core::Messages& messages,
                       std::ostream& out, std::ostream& err, bool json, bool answerYes)
    : settingsPath_(std::move(settingsPath)),
      args_(std::move(args)),
      messages_(messages),
      out_(out),
      err_(err),
      json_(json),
      answerYes_(answerYes) {}

CliContext::~CliContext() = default;

bool CliContext::requireSettingsPath() {
  if (!settingsPath_.empty()) return true;
  err_ << "zorvik-cli: no settings file: give --settings FILE or set ZORVIK_SETTINGS\n";
  return false;
}

core::SettingsFile* CliContext::rawSettings() {
  if (settings_) return &*settings_;
  if (!requireSettingsPath()) return nullptr;
  settings_ = mailflow::Document::readSettings(settingsPath_, messages_);
  return settings_ ? &*settings_ : nullptr;
}

mailflow::Document* CliContext::document() {
  if (document_) return document_.get();
  if (!requireSettingsPath()) return nullptr;
  document_ = mailflow::Document::load(settingsPath_, messages_);
  return document_.get();
}

mailflow::FrontEnd& CliContext::frontEnd() {
  if (!terminal_) terminal_ = std::make_unique<Terminal>(*this);
  return terminal_->front;
}

void CliContext::printRow(const std::vector<std::string>& fields) {
  std::vector<std::string> utf8;
  utf8.reserve(fields.size());
  for (const std::string& field : fields) utf8.push_back(platform::sjisToUtf8(field));
  out_ << outputRecord(utf8, json_) << '\n';
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

std::optional<std::uint32_t> recordIndex(const std::string& text) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || text[0] == '-' || value > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::optional<std::vector<std::uint32_t>> recordIndices(const std::vector<std::string>& args) {
  std::vector<std::uint32_t> indices;
  for (const std::string& arg : args) {
    const auto index = recordIndex(arg);
    if (!index) return std::nullopt;
    indices.push_back(*index);
  }
  if (indices.empty()) return std::nullopt;
  return indices;
}

}  // namespace zorvik::cli
