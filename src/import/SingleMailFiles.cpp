#include "import/SingleMailFiles.h"

#include <algorithm>

#include "core/SjisText.h"
#include "import/WireMail.h"
#include "platform/FileSystem.h"

namespace zorvik::import {
namespace {

// The files of `folder` (names not beginning with "."), sorted, that
// `wanted` accepts.
template <typename Wanted>
std::vector<std::string> filesOf(std::string_view folder, Wanted wanted) {
  std::vector<std::string> names;
  for (const auto& entry : platform::listDirectory(folder)) {
    if (!entry.isDirectory && !entry.name.starts_with('.') && wanted(entry.name)) names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end());
  std::vector<std::string> files;
  for (const std::string& name : names) files.push_back(platform::joinPath(folder, name));
  return files;
}

bool hasEmlExtension(std::string_view name) {
  return name.size() > 4 && core::equalsIgnoringAsciiCase(name.substr(name.size() - 4), ".eml");
}

}  // namespace

std::optional<std::vector<std::string>> SingleMailFiles::ofMaildir(std::string_view folder) {
  const std::string current = platform::joinPath(folder, "cur");
  const std::string fresh = platform::joinPath(folder, "new");
  if (!platform::isDirectory(current) && !platform::isDirectory(fresh)) return std::nullopt;
  std::vector<std::string> files = filesOf(current, [](std::string_view) { return true; });
  const std::vector<std::string> arrived = filesOf(fresh, [](std::string_view) { return true; });
  files.insert(files.end(), arrived.begin(), arrived.end());
  std::stable_sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
    return platform::fileNameOf(a) < platform::fileNameOf(b);
  });
  return files;
}

std::optional<std::vector<std::string>> SingleMailFiles::ofEml(std::string_view path) {
  if (platform::isRegularFile(path)) return std::vector<std::string>{std::string(path)};
  if (!platform::isDirectory(path)) return std::nullopt;
  return filesOf(path, hasEmlExtension);
}

ReadEnd SingleMailFiles::read(const std::vector<std::string>& files, const MailHandler& each, std::size_t& skipped) {
  for (const std::string& file : files) {
    const auto text = platform::readFile(file);
    if (!text || text->find_first_not_of(" \t\r\n") == std::string::npos) {
      ++skipped;
      continue;
    }
    if (!each(WireMail::of(*text))) return ReadEnd::Stopped;
  }
  return ReadEnd::Done;
}

}  // namespace zorvik::import
