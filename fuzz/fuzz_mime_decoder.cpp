// Feeds arbitrary received mails to MIME decoding: broken headers, boundaries
// that never close, deep nesting and hostile attachment names must never
// crash, never write outside the scratch store, and never fail decoding
// (only a file that cannot be created may do that).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/Messages.h"
#include "message/MimeDecoder.h"
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

class DiscardSink : public zorvik::message::ByteSink {
public:
  bool write(std::string_view bytes) override {
    written += bytes.size();
    return true;
  }
  std::size_t written = 0;
};

const std::string& scratch() {
  static const std::string path = [] {
    char pattern[] = "/tmp/fuzz_mime_XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made ? made : "/tmp/fuzz_mime");
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik;
  const std::string_view mail(reinterpret_cast<const char*>(data), size);
  SilentReporter reporter;
  core::Messages messages(reporter);
  message::MimeDecoderSettings settings;
  settings.attachmentRoot = platform::joinPath(scratch(), ".inc");
  settings.workDirectory = platform::joinPath(scratch(), ".tmp");
  settings.expandTextAttachments = size % 2 == 0;
  DiscardSink sink;
  message::MimeDecoder decoder(settings, messages);
  const bool ok = decoder.decode(sink, mail);
  if (!ok && !reporter.shown) __builtin_trap();  // a failure is always reported
  // Everything lands in the two folders of the scratch store.
  for (const auto& entry : platform::listDirectory(scratch()))
    if (entry.name != ".inc" && entry.name != ".tmp") __builtin_trap();
  decoder.savedFiles().deleteAll();
  platform::removeTree(settings.attachmentRoot);
  return 0;
}
