// Feeds arbitrary received mail text to what takes a stored mail apart
// again: the quote of a reply or a forward, the file extraction and the
// attachment deletion. Whatever the text holds:
//  - a quoted line of a mail the user did not write never becomes a tag
//    command, except a reference resolved into the mail's own folder;
//  - extraction writes files only inside the folder, and every reference
//    line it writes names a file it saved;
//  - no rewritten line holds an LF (it would split the stored text).
// The input is a header, an empty line and a body; its first byte chooses
// the quote prefix and line width.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "compose/BodyQuoter.h"
#include "message/AttachmentStripper.h"
#include "message/BodyFileExtractor.h"
#include "platform/FileSystem.h"

namespace {

using namespace zorvik;

const std::string& scratch() {
  static const std::string path = [] {
    char pattern[] = "/tmp/fuzz_received_text_XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made ? made : "/tmp/fuzz_received_text");
  }();
  return path;
}

message::MailLines mailOf(std::string_view text) {
  message::MailLines mail{"From ", {}, {}};
  bool inHeader = true;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (inHeader && line.empty()) {
      inHeader = false;
    } else {
      (inHeader ? mail.header : mail.body).emplace_back(line);
    }
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return mail;
}

// A stored line may hold a CR of the mail's own (the readers end a line at
// LF only, dropping one CR before it, so such a line reads back the same);
// an LF would split it.
void checkLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (line.find('\n') != std::string::npos) __builtin_trap();
  }
}

void checkQuote(const message::MailLines& mail, unsigned char choice, const std::string& root) {
  static const char* const kPrefixes[] = {"", ">", "> ", "taro>", "|"};
  compose::SourceMail source;
  source.body = mail.body;
  source.attachmentRoot = root;
  source.record.attachmentFolder = "1261207.000";
  source.record.messageId = "id@example.jp";
  const compose::BodyQuoter quoter(kPrefixes[choice % 5], (choice / 5) % 4 * 7, {"--", "Taro"});
  std::string out;
  quoter.quote(source, out);
  const std::string ownReference = "@#MIME \"" + root + "/1261207.000/";
  for (std::size_t at = 0; at < out.size();) {
    const std::size_t end = out.find('\n', at);
    if (end == std::string::npos) __builtin_trap();  // every quoted line ends with LF
    const std::string_view line(out.data() + at, end - at);
    if (line.starts_with("@#") && !line.starts_with(ownReference)) __builtin_trap();
    if (line.find('\r') != std::string_view::npos) __builtin_trap();
    at = end + 1;
  }
}

void checkExtraction(const message::MailLines& mail, const std::string& root) {
  const auto result = message::BodyFileExtractor(root, 9, 0).extract(mail);
  checkLines(result.mail.header);
  checkLines(result.mail.body);
  for (const std::string& file : result.savedFiles) {
    const std::string folder = platform::directoryOf(file);
    if (platform::directoryOf(folder) != root) __builtin_trap();
  }
  std::size_t references = 0;
  for (const std::string& line : result.mail.body) references += line.starts_with("@#MIME \"%:") ? 1 : 0;
  if (references < result.savedFiles.size()) __builtin_trap();
  platform::removeTree(root);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const message::MailLines mail = mailOf(text);
  const std::string root = scratch() + "/.inc";
  checkQuote(mail, data[0], root);
  checkExtraction(mail, root);
  const message::MailLines stripped = message::AttachmentStripper::strip(mail);
  checkLines(stripped.header);
  checkLines(stripped.body);
  return 0;
}
