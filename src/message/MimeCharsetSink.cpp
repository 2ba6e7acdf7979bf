#include "message/MimeCharsetSink.h"

#include "message/MimeCharset.h"

namespace zorvik::message {

MimeCharsetSink::MimeCharsetSink(ByteSink& target, std::string charset)
    : target_(target), charset_(std::move(charset)) {}

bool MimeCharsetSink::write(std::string_view bytes) {
  const auto lastLineEnd = bytes.rfind('\n');
  if (lastLineEnd == std::string_view::npos) {
    pending_.append(bytes);
    return true;
  }
  pending_.append(bytes.substr(0, lastLineEnd + 1));
  const bool written = pass(pending_);
  pending_.assign(bytes.substr(lastLineEnd + 1));
  return written;
}

bool MimeCharsetSink::finish() {
  const bool written = pending_.empty() || pass(pending_);
  pending_.clear();
  return written;
}

bool MimeCharsetSink::pass(std::string_view text) { return target_.write(MimeCharset::toSjis(charset_, text)); }

}  // namespace zorvik::message
