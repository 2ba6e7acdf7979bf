// Feeds arbitrary drafts to the composition of outgoing mail: header lines,
// an empty line, then body lines with tag commands in any spelling. The
// composed files must always be 7-bit text of CR LF lines in which no line
// is a lone "." (it would end the mail on the wire) and no CR or LF stands
// alone (it would let a value start a header line or an SMTP command); a
// failure is always reported. Tag lines can only name the few files of the
// scratch folder: every "/" of the input becomes "_" and the folder is the
// current directory while composing (and only then, so that libFuzzer finds
// a corpus folder given relative to where it was started).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/Messages.h"
#include "message/MimeComposer.h"
#include "platform/FileSystem.h"

namespace {

class SilentReporter : public zorvik::core::Reporter {
public:
  bool show(zorvik::core::MessageKind, const std::string&, const std::string&) override {
    shown = true;
    return false;
  }
  bool shown = false;
};

const std::string& scratch() {
  static const std::string path = [] {
    char pattern[] = "/tmp/fuzz_composer_XXXXXX";
    const char* made = mkdtemp(pattern);
    const std::string folder = made ? made : "/tmp/fuzz_composer";
    zorvik::platform::makeDirectories(folder);
    zorvik::platform::writeFileAtomically(folder + "/a.txt", "\x93\xfa\x96{\r\n.\r\n..x\nlast");
    zorvik::platform::writeFileAtomically(folder + "/b.bin", std::string("\0\xff\r\n.\x1b$B", 9));
    zorvik::platform::writeFileAtomically(folder + "/c.TXT", "");
    zorvik::platform::writeFileAtomically(folder + "/\x93\xfa.jpg", "fourteen bytes");
    return folder;
  }();
  return path;
}

// The lines of `text` split at LF (a CR before it dropped); the header ends
// at the first empty line.
zorvik::message::MailLines draftOf(std::string text) {
  for (char& c : text) {
    if (c == '/') c = '_';
  }
  zorvik::message::MailLines draft{"From ", {}, {}};
  bool inHeader = true;
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (inHeader && line.empty()) {
      inHeader = false;
    } else {
      (inHeader ? draft.header : draft.body).emplace_back(line);
    }
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return draft;
}

// 7-bit CR LF lines, none a lone "."; a CR or LF only as a line end.
void checkWireText(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find("\r\n");
    if (end == std::string_view::npos) __builtin_trap();  // an unended last line
    const std::string_view line = text.substr(0, end);
    if (line == ".") __builtin_trap();
    for (const char c : line) {
      if (c == '\r' || c == '\n' || static_cast<unsigned char>(c) >= 0x80) __builtin_trap();
    }
    text.remove_prefix(end + 2);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik;
  const std::string folder = scratch();
  const auto draft = draftOf(std::string(reinterpret_cast<const char*>(data), size));
  SilentReporter reporter;
  core::Messages messages(reporter);
  message::MimeComposer composer({size % 3 != 0, size % 2 == 0, {}}, messages);
  const std::string header = folder + "/TxTmpH";
  const std::string body = folder + "/TxTmpB";
  char started[4096];
  if (getcwd(started, sizeof started) == nullptr || chdir(folder.c_str()) != 0) __builtin_trap();
  const bool composed = composer.composeFiles(draft, header, body);
  if (chdir(started) != 0) __builtin_trap();
  if (!composed) {
    if (!reporter.shown) __builtin_trap();  // a failure is always reported
    if (platform::pathExists(header) || platform::pathExists(body)) __builtin_trap();
    return 0;
  }
  const std::string headerText = platform::readFile(header).value_or("");
  if (!headerText.ends_with("\r\n\r\n") && headerText.find("\r\n\r\n") == std::string::npos) __builtin_trap();
  checkWireText(headerText);
  checkWireText(platform::readFile(body).value_or(""));
  return 0;
}
