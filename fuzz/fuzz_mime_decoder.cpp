// Feeds arbitrary received mails to MIME decoding: broken headers, boundaries
// that never close, deep nesting and hostile attachment names must never
// crash or hang, never write outside the scratch store, never fail decoding
// (only a file that cannot be created may do that), and never store a
// received line as a tag command.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/Messages.h"
#include "message/MimeDecoder.h"
#include "message/OversizeMail.h"
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

class StoredText : public zorvik::message::ByteSink {
public:
  bool write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

// Only the decoder's own reference lines may begin with "@#": a received
// line that did would read as a tag command.
bool onlyOwnTagLines(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = text.substr(at, end - at);
    if (line.starts_with("@#") && !line.starts_with("@#MIME \"%:")) return false;
    at = end + 1;
  }
  return true;
}

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
  // Every third input comes as the header of an over-size mail would.
  const std::string received = size % 3 == 0 ? message::OversizeMail::withNotice(mail) : std::string(mail);
  StoredText sink;
  message::MimeDecoder decoder(settings, messages);
  const bool ok = decoder.decode(sink, received);
  if (!ok && !reporter.shown) __builtin_trap();  // a failure is always reported
  if (!onlyOwnTagLines(sink.text)) __builtin_trap();
  // Everything lands in the two folders of the scratch store.
  for (const auto& entry : platform::listDirectory(scratch()))
    if (entry.name != ".inc" && entry.name != ".tmp") __builtin_trap();
  decoder.savedFiles().deleteAll();
  platform::removeTree(settings.attachmentRoot);
  return 0;
}
