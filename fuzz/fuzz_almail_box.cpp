// Feeds arbitrary AL-Mail(16) box files to their reader: every mail file it
// names ends in ".wml", and reading the box never opens a file outside the
// box's folder (one mail file lies beside it, one a level up).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "import/AlMailBox.h"
#include "platform/FileSystem.h"

namespace {

const std::string& scratch() {
  static const std::string path = [] {
    char pattern[] = "/tmp/fuzz_almail_XXXXXX";
    const char* made = mkdtemp(pattern);
    const std::string dir(made ? made : "/tmp/fuzz_almail");
    zorvik::platform::makeDirectories(dir + "/box");
    zorvik::platform::writeFileAtomically(dir + "/box/1.wml", "Subject: inside\r\n\r\n");
    zorvik::platform::writeFileAtomically(dir + "/outside.wml", "Subject: outside\r\n\r\n");
    return dir;
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik;
  const std::string box(reinterpret_cast<const char*>(data), size);
  for (const std::string& name : import::AlMailBox::mailFiles(box))
    if (!name.ends_with(".wml")) __builtin_trap();
  const std::string path = scratch() + "/box/in.box";
  platform::writeFileAtomically(path, box);
  std::size_t skipped = 0;
  import::AlMailBox::readFile(path, [](std::string_view mail) {
    if (mail.find("outside") != std::string_view::npos) __builtin_trap();
    return true;
  }, skipped);
  return 0;
}
