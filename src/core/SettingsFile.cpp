#include "core/SettingsFile.h"

#include <algorithm>
#include <cstdlib>

#include "core/ItemReader.h"
#include "core/ItemWriter.h"
#include "core/PasswordScrambler.h"
#include "platform/FileSystem.h"
#include "platform/LineReader.h"
#include "platform/TextEncoding.h"

namespace zorvik::core {
namespace {

// A file that is not a settings file at all (a binary, a huge text) would
// otherwise report one problem per line; after this many the load gives up.
constexpr int kMaxReportedProblems = 20;

// Provider mail domains and the shorter domains they stand for.
constexpr const char* kDefaultAliases =
    "mail.example.ne.jp=example.ne.jp\r\npop.example.co.jp=example.co.jp";

std::string defaultTemplateFolder() {
  const std::string current = platform::currentDirectory();
  if (!current.empty() && current.back() == '/') return current + "Template";
  return current + "/Template";
}

}  // namespace

SettingsFile::SettingsFile() : ItemValues(settingsItemTable()) {
  setText(item::kTemplateFolder, defaultTemplateFolder());
  setText(item::kDomainAliases, kDefaultAliases);
  updateDerivedValues();
}

bool SettingsFile::isPasswordItem(int id) {
  return id == item::kPopPassword || id == item::kSmtpPassword || id == item::kDialUpPassword ||
         id == item::kPgpPassphrase;
}

bool SettingsFile::load(std::string_view path, Messages& messages) {
  fileName_ = std::string(path);
  platform::LineReader lines = platform::LineReader::openFile(path);
  if (!lines.isOpen()) return false;

  int problems = 0;
  ItemReader reader(lines, [&](const ItemReadProblem& problem) {
    ++problems;
    if (problems > kMaxReportedProblems) return;
    messages.error(MessageNumber::SettingsFileLineError,
                   {fileName_, problem.lineNumber, problem.lineText, problem.reason});
  });
  const ItemReadResult result = reader.read(*this);
  updateDerivedValues();
  if (problems > kMaxReportedProblems) return false;
  return result == ItemReadResult::Complete || result == ItemReadResult::EndOfFile;
}

bool SettingsFile::save(Messages& messages, std::string_view path) {
  if (!path.empty()) fileName_ = std::string(path);
  if (fileName_.empty()) return false;

  std::string content = platform::sjisLiteral(";;Zorvik:個別設定");
  content += "\r\n";
  writeItemTable(content, *this);

  // The new file replaces the old one by a rename, the old one kept as
  // ".BAK": a complete settings file is there at every moment, so a crash
  // never sends the next start into the first-run flow.
  if (platform::writeFileAtomically(fileName_, content, backupNameOf(fileName_))) return true;
  messages.error(MessageNumber::SettingsFileNotCreated, {fileName_});
  return false;
}

std::string SettingsFile::plainPassword(int id) const { return unscramblePassword(text(id)); }

void SettingsFile::setPlainPassword(int id, std::string_view plain) { setText(id, scramblePassword(plain)); }

void SettingsFile::resolveRelativePaths(std::string_view programDirectory) {
  for (const int id : kPathItems) {
    const std::string& value = text(id);
    if (value.empty() || platform::isFullPath(value)) continue;
    setText(id, platform::joinPath(programDirectory, value));
  }
  updateDerivedValues();
}

void SettingsFile::updateDerivedValues() {
  const std::string& zone = text(item::kTimeZone);
  timeZoneOffset_ = zone.size() < 4 ? 0 : -std::atoi(zone.c_str() + 3);
  aliases_ = parseAliasTable(text(item::kDomainAliases) + "\r\n ");
  workingDirectories_ = WorkingDirectories::derive(text(item::kWorkFolder));
}

std::string SettingsFile::topCabinetPath() const {
  return platform::joinPath(text(item::kStoreRoot), text(item::kTopCabinet));
}

std::string SettingsFile::sortingLogPath() const {
  return platform::joinPath(text(item::kStoreRoot), platform::sjisLiteral("振分ログ.txt"));
}

std::string backupNameOf(std::string_view path) {
  const auto slash = path.rfind('/');
  const auto dot = path.rfind('.');
  const bool hasExtension = dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
  return std::string(hasExtension ? path.substr(0, dot) : path) + ".BAK";
}

std::string settingsNameOf(std::string_view path) {
  std::string name = platform::fileNameOf(path);
  if (name.empty()) return "Default";
  const auto dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

}  // namespace zorvik::core
