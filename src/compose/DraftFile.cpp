#include "compose/DraftFile.h"

#include <cstdio>

#include "platform/FileSystem.h"

namespace zorvik::compose {
namespace {

// LF or CR LF between lines in, CR LF out.
std::string withCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) {
      out += text;
      break;
    }
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    out += line;
    out += "\r\n";
    text.remove_prefix(end + 1);
  }
  return out;
}

bool writeAll(std::FILE* file, std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

}  // namespace

std::string DraftFile::patternOf(const store::StoreLocation& store, const core::SettingsFile& settings) {
  const std::string& pattern = settings.workingDirectories().composeFilePattern;
  return platform::isFullPath(pattern) ? pattern : platform::joinPath(store.topCabinetPath(), pattern);
}

std::string DraftFile::numberedName(std::string_view pattern, int number) {
  std::string digits = std::to_string(number);
  digits.insert(0, digits.size() < 3 ? 3 - digits.size() : 0, '0');
  std::string name(pattern);
  const std::size_t at = name.find("%03d");
  if (at == std::string::npos) return name + digits;
  return name.replace(at, 4, digits);
}

std::optional<std::string> DraftFile::create(std::string_view pattern, std::string_view text) {
  platform::makeDirectories(platform::directoryOf(numberedName(pattern, 0)));
  const std::string content = withCrLf(text);
  for (int number = 0; number < kNumbers; ++number) {
    const std::string path = numberedName(pattern, number);
    // "x": the file is created here or not at all, so a number another
    // window or process claimed meanwhile is passed by.
    std::FILE* file = std::fopen(platform::nativePath(path).c_str(), "wbx");
    if (!file) {
      if (platform::pathExists(path)) continue;
      return std::nullopt;
    }
    const bool written = writeAll(file, content);
    if (std::fclose(file) == 0 && written) return path;
    platform::removeFile(path);
    return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> DraftFile::read(std::string_view path) {
  auto bytes = platform::readFile(path);
  if (!bytes) return std::nullopt;
  std::string text;
  text.reserve(bytes->size());
  for (std::size_t at = 0; at < bytes->size(); ++at) {
    if ((*bytes)[at] == '\r' && at + 1 < bytes->size() && (*bytes)[at + 1] == '\n') continue;
    text += (*bytes)[at];
  }
  return text;
}

bool DraftFile::write(std::string_view path, std::string_view text) {
  return platform::writeFileAtomically(path, withCrLf(text));
}

bool DraftFile::canAppend(std::string_view path) {
  std::FILE* file = std::fopen(platform::nativePath(path).c_str(), "ab");
  if (!file) return false;
  return std::fclose(file) == 0;
}

}  // namespace zorvik::compose
