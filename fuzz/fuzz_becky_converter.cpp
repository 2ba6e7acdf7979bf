// Feeds arbitrary Becky! mailboxes to the conversion, with an "Attach"
// folder holding one file: every mail comes out as tray text that no line
// of it can split (only its first line begins with "From "), and nothing
// is ever written outside the scratch store's attachment folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/Messages.h"
#include "import/BeckyConverter.h"
#include "platform/FileSystem.h"
#include "platform/LineReader.h"

namespace {

class SilentReporter : public zorvik::core::Reporter {
public:
  bool show(zorvik::core::MessageKind, const std::string&, const std::string&) override { return false; }
};

const std::string& scratch() {
  static const std::string path = [] {
    char pattern[] = "/tmp/fuzz_becky_XXXXXX";
    const char* made = mkdtemp(pattern);
    const std::string dir(made ? made : "/tmp/fuzz_becky");
    zorvik::platform::makeDirectories(dir + "/Attach");
    zorvik::platform::writeFileAtomically(dir + "/Attach/a.txt", "attached\n");
    return dir;
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik;
  SilentReporter reporter;
  core::Messages messages(reporter);
  import::BeckySettings settings;
  settings.attachFolder = scratch() + "/Attach";
  settings.attachmentRoot = scratch() + "/.inc";
  const import::MailHandler check = [](std::string_view mail) {
    if (!mail.starts_with("From  \r\n")) __builtin_trap();
    if (mail.find("\nFrom ") != std::string_view::npos) __builtin_trap();
    return true;
  };
  import::BeckyConverter converter(settings, messages, check);
  auto lines = platform::LineReader::fromText(std::string(reinterpret_cast<const char*>(data), size));
  for (std::string line; lines.next(line);) converter.line(line);
  converter.finish();
  for (const auto& entry : platform::listDirectory(scratch()))
    if (entry.name != ".inc" && entry.name != "Attach") __builtin_trap();
  platform::removeTree(settings.attachmentRoot);
  return 0;
}
