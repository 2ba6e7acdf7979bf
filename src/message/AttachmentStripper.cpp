#include "message/AttachmentStripper.h"

#include "core/SjisText.h"
#include "platform/TextEncoding.h"

namespace zorvik::message {
namespace {

constexpr std::string_view kReference = "@#MIME \"";

// "■消去された添付ファイル " and the quoted reference without its quotes and
// without a leading "%:".
std::string noteFor(std::string_view line) {
  std::string_view reference = line.substr(kReference.size());
  reference = reference.substr(0, reference.find('"'));
  if (reference.starts_with("%:")) reference.remove_prefix(2);
  return platform::sjisLiteral("■消去された添付ファイル ") + std::string(reference);
}

}  // namespace

MailLines AttachmentStripper::strip(const MailLines& mail, int* removed) {
  MailLines stripped;
  stripped.separator = mail.separator;
  for (const std::string& line : mail.header) {
    if (line.starts_with("X-Zorvik-AttachDir: ")) continue;
    stripped.header.push_back(core::startsWithIgnoringAsciiCase(line, "Content-Type:") ? "Content-Type: text/plain;"
                                                                                        : line);
  }
  int count = 0;
  for (const std::string& line : mail.body) {
    if (!line.starts_with(kReference)) {
      stripped.body.push_back(line);
      continue;
    }
    stripped.body.push_back(noteFor(line));
    ++count;
  }
  if (removed) *removed = count;
  return stripped;
}

}  // namespace zorvik::message
