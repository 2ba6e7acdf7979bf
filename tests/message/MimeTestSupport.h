// Shared by the MIME decoding tests: decodes one mail into a scratch store
// and gives back what was stored, what was saved and what was shown.
#pragma once

#include "core/Messages.h"
#include "message/MimeDecoder.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

#include <map>
#include <string>

namespace zorvik::message::mimetest {

struct Decoded {
  bool ok = false;
  std::string text;  // the stored text (Shift_JIS, CR LF)
  std::uint32_t bits = 0;
  bool notComplete = false;
  std::string folder;
  std::map<std::string, std::string> files;  // saved file name (Shift_JIS) -> bytes
};

class StringSink : public ByteSink {
public:
  bool write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

class MimeFixture {
public:
  MimeFixture() : messages(reporter) {
    settings.attachmentRoot = scratch.file(".inc");
    settings.workDirectory = scratch.file(".tmp");
  }

  /// Decodes `mail`, given with LF line ends (made CR LF here) and without
  /// the final "." unless `wire` is set. Without `readFiles`, `files` holds
  /// each file's size in decimal instead of its bytes.
  Decoded decode(const std::string& mail, bool wire = false, bool readFiles = true) {
    Decoded result;
    MimeDecoder decoder(settings, messages);
    StringSink sink;
    result.ok = decoder.decode(sink, wire ? mail : MimeDecoder::wireForm(mail));
    result.text = sink.text;
    result.bits = decoder.resultBits();
    result.notComplete = decoder.mailNotComplete();
    result.folder = decoder.folderName();
    if (!result.folder.empty()) {
      const std::string folderPath = platform::joinPath(settings.attachmentRoot, result.folder);
      for (const auto& entry : platform::listDirectory(folderPath))
        result.files[entry.name] = readFiles ? platform::readFile(platform::joinPath(folderPath, entry.name)).value_or("")
                                             : std::to_string(platform::fileSize(platform::joinPath(folderPath, entry.name)).value_or(0));
    }
    return result;
  }

  /// Every folder made below the attachment root.
  std::size_t folderCount() const { return platform::listDirectory(settings.attachmentRoot).size(); }

  test::ScratchDir scratch;
  test::RecordingReporter reporter;
  core::Messages messages;
  MimeDecoderSettings settings;
};

inline std::string sjis(const char* utf8) { return platform::utf8ToSjis(utf8); }

/// The header of a multipart/mixed mail with boundary XX, and its preamble.
inline const std::string kMixedHeader =
    "From: a@example.jp\n"
    "To: b@example.jp\n"
    "Subject: test\n"
    "Date: Mon, 07 Dec 2026 09:30:00 +0900\n"
    "MIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=\"XX\"\n"
    "\n"
    "This is a multi-part message in MIME format.\n";

/// One part of such a mail: its boundary line, header lines and body.
inline std::string part(const std::string& header, const std::string& body) { return "--XX\n" + header + "\n" + body; }

/// `text` with every LF made CR LF.
inline std::string crlf(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace zorvik::message::mimetest
