#include "import/AlMailBox.h"

#include "core/SjisText.h"
#include "core/TextLines.h"
#include "platform/FileSystem.h"

namespace zorvik::import {
namespace {

constexpr std::string_view kMailsSection = "[mails]";
constexpr std::string_view kMailExtension = ".wml";

// A file name that stays in the box's folder: no "/" and no NUL. ".wml"
// is appended, so even ".." names a plain file.
bool isPlainName(std::string_view name) {
  return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

}  // namespace

std::vector<std::string> AlMailBox::mailFiles(std::string_view box) {
  std::vector<std::string> files;
  bool inMails = false;
  core::TextLines lines(box);
  for (std::string_view line; lines.next(line);) {
    if (!inMails) {
      inMails = core::equalsIgnoringAsciiCase(line, kMailsSection);
      continue;
    }
    if (line.starts_with('[')) break;
    if (line.empty()) continue;
    files.push_back(std::string(line.substr(0, line.find('='))) + std::string(kMailExtension));
  }
  return files;
}

ReadEnd AlMailBox::readFile(std::string_view path, const MailHandler& each, std::size_t& skipped) {
  const auto box = platform::readFile(path);
  if (!box) return ReadEnd::Unreadable;
  const std::string folder = platform::directoryOf(path);
  for (const std::string& name : mailFiles(*box)) {
    const auto mail = isPlainName(name) ? platform::readFile(platform::joinPath(folder, name)) : std::nullopt;
    if (!mail) {
      ++skipped;
      continue;
    }
    if (!each(*mail)) return ReadEnd::Stopped;
  }
  return ReadEnd::Done;
}

}  // namespace zorvik::import
