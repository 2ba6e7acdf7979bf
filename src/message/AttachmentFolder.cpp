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

bool isPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace

std::string AttachmentFolder::nameFor(std::time_t date, int zoneHours, int sequence) {
  const LocalTime local = MailDate::toLocal(date, zoneHours);
  char name[48];
  std::snprintf(name, sizeof name, "%02d%02d%02d.%03d", local.year - 1900, local.month, local.day, sequence);
  return name;
}

std::optional<std::string> AttachmentFolder::create(std::string_view root, std::time_t date, int zoneHours,
                                                    int firstSequence) {
  if (!platform::makeDirectories(root)) return std::nullopt;
  for (int sequence = firstSequence; sequence < kSequenceLimit; ++sequence) {
    std::string name = nameFor(date, zoneHours, sequence);
    const auto path = platform::nativePath(platform::joinPath(root, name));
    // mkdir fails on an existing name, so the test and the claim are one step.
    if (::mkdir(path.c_str(), 0777) == 0) return name;
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
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
