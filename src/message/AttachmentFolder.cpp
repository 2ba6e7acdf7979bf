#include "message/AttachmentFolder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "message/MailDate.h"
#include "platform/FileSystem.h"

namespace zorvik::message {
namespace {

// Past this many folders of one day something is wrong with the root (a
// file system that claims every name exists); stop instead of looping.
constexpr int kSequenceLimit = 100000;
constexpr std::string_view kFallbackName = "Attach";

bool isPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

// The name of a file to save: one level, never "." or "..".
std::string safeFileName(std::string_view name) {
  std::string safe(name);
  for (char& c : safe) {
    if (c == '/' || c == '\\' || c == '\0') c = '_';
  }
  if (safe.empty() || safe == "." || safe == "..") return std::string(kFallbackName);
  return safe;
}

// "a.txt" with `number` before the extension: "a_1.txt". A leading dot
// starts no extension (".profile" gives ".profile_1").
std::string numbered(std::string_view name, int number) {
  std::size_t dot = name.rfind('.');
  if (dot == 0 || dot == std::string_view::npos) dot = name.size();
  return std::string(name.substr(0, dot)) + "_" + std::to_string(number) + std::string(name.substr(dot));
}

}  // namespace

std::string AttachmentFolder::nameFor(std::time_t date, int zoneHours, int sequence) {
  const LocalTime local = MailDate::toLocal(date, zoneHours);
  char name[48];
  std::snprintf(name, sizeof name, "%02d%02d%02d.%03d", local.year - 1900, local.month, local.day, sequence);
  return name;
}

std::optional<std::string> AttachmentFolder::create(std::string_view root, std::time_t date, int zoneHours) {
  if (!platform::makeDirectories(root)) return std::nullopt;
  for (int sequence = 0; sequence < kSequenceLimit; ++sequence) {
    std::string name = nameFor(date, zoneHours, sequence);
    const auto path = platform::nativePath(platform::joinPath(root, name));
    // mkdir fails on an existing name, so the test and the claim are one step.
    if (::mkdir(path.c_str(), 0777) == 0) return name;
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

std::string AttachmentFolder::freeFileName(std::string_view folderPath, std::string_view fileName) {
  const std::string name = safeFileName(fileName);
  if (!platform::pathExists(platform::joinPath(folderPath, name))) return name;
  for (int number = 1;; ++number) {
    std::string candidate = numbered(name, number);
    if (!platform::pathExists(platform::joinPath(folderPath, candidate))) return candidate;
  }
}

std::optional<std::string> AttachmentFolder::resolve(std::string_view reference, std::string_view root,
                                                     std::string_view folder, std::string_view messageId) {
  constexpr std::string_view kFolderMark = "%:";
  if (!reference.starts_with(kFolderMark)) return std::string(reference);
  std::string_view name = reference.substr(kFolderMark.size());
  // References written on Windows put a backslash after the mark.
  while (!name.empty() && (name.front() == '/' || name.front() == '\\')) name.remove_prefix(1);
  const std::string_view mailFolder = folder.empty() ? messageId : folder;
  if (!isPlainName(name) || !isPlainName(mailFolder)) return std::nullopt;
  return platform::joinPath(platform::joinPath(root, mailFolder), name);
}

}  // namespace zorvik::message
