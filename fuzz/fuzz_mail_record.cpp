// Feeds arbitrary bytes to the mail reader as a text of mails: every mail's
// header is parsed into a record and post-processed, every line decoded. The
// same bytes are also parsed as a single header block, as drafts are.
#include <cstddef>
#include <cstdint>
#include <string>

#include "message/HeaderReader.h"
#include "message/ListTag.h"
#include "message/MailRecordParser.h"
#include "platform/LineReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik::message;
  static const MailRecordParser parser(
      ParseContext{{{"mail.example.jp", "example.jp"}}, 9, 1796603405, "me@example.jp"});
  const std::string text(reinterpret_cast<const char*>(data), size);

  MailRecord draft;
  parser.parseText(draft, text);
  parser.postProcess(draft);
  (void)draft.hasJapaneseDomain();
  (void)parser.findAddressInList(draft.from, draft.to);

  auto input = zorvik::platform::LineReader::fromText("From \r\n" + text);
  HeaderReader reader(input, parser);
  MailRecord record;
  MailLines lines;
  while (reader.readHeader(record, lines)) {
    reader.copyBody(record, lines);
    for (const std::string& line : lines.header) {
      if (line.empty() || line.find_first_of("\r\n") != std::string::npos) __builtin_trap();
    }
    for (const std::string& line : lines.body) {
      if (line.find_first_of("\r\n") != std::string::npos || line.starts_with("From ")) __builtin_trap();
    }
    (void)record.sameMailAs(draft);
  }
  return 0;
}
