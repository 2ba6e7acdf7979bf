#include "message/OutputWriter.h"

#include "message/EnrichedTextWriter.h"

#include <string>

namespace zorvik::message {
namespace {

class BinaryWriter : public OutputWriter {
public:
  bool write(ByteSink& sink, ByteBuffer& buffer) override {
    const bool ok = sink.write(buffer.view());
    buffer.clear();
    return ok;
  }
};

// Makes every line end CR LF. A CR that ends a buffer is completed at once,
// and the LF that may open the next buffer is then dropped, so a CR LF cut
// between two lines of a base64 body stays one line end.
class TextWriter : public OutputWriter {
public:
  bool write(ByteSink& sink, ByteBuffer& buffer) override {
    const std::string_view in = buffer.view();
    text_.clear();
    std::size_t i = 0;
    if (lineFeedDue_ && !in.empty() && in[0] == '\n') ++i;
    if (!in.empty()) lineFeedDue_ = false;
    while (i < in.size()) {
      const std::size_t end = in.find_first_of("\r\n", i);
      if (end == std::string_view::npos) {
        text_.append(in.substr(i));
        break;
      }
      text_.append(in.substr(i, end - i));
      text_.append("\r\n");
      i = end + 1;
      if (in[end] == '\n') continue;
      if (i == in.size()) lineFeedDue_ = true;
      if (i < in.size() && in[i] == '\n') ++i;
    }
    buffer.clear();
    return sink.write(text_);
  }

private:
  std::string text_;  // reused from call to call
  bool lineFeedDue_ = false;
};

}  // namespace

std::unique_ptr<OutputWriter> OutputWriter::create(OutputKind kind) {
  if (kind == OutputKind::text) return std::make_unique<TextWriter>();
  if (kind == OutputKind::enriched) return std::make_unique<EnrichedTextWriter>();
  return std::make_unique<BinaryWriter>();
}

}  // namespace zorvik::message
