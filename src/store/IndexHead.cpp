#include "store/IndexHead.h"

namespace zorvik::store {
namespace {

class HeadWriter {
public:
  void number(std::int64_t value) { out_ += IndexHead::word(static_cast<std::uint32_t>(value)); }
  void text(const std::string& value) {
    number(static_cast<std::int64_t>(value.size()));
    out_ += value;
  }
  std::string take() { return std::move(out_); }

private:
  std::string out_;
};

// Reads fields in order; once a field runs past the head every later read
// fails too, so the caller checks ok() once at the end.
class HeadReader {
public:
  explicit HeadReader(std::string_view head) : head_(head) {}
  template <typename N>
  void number(N& value) {
    if (!take(4)) return;
    value = static_cast<N>(IndexHead::readWord(head_, pos_ - 4));
  }
  void text(std::string& value) {
    std::uint32_t size = 0;
    number(size);
    if (!take(size)) return;
    value.assign(head_.substr(pos_ - size, size));
  }
  bool ok() const { return ok_; }

private:
  bool take(std::size_t count) {
    if (!ok_ || count > head_.size() - pos_) return ok_ = false;
    pos_ += count;
    return true;
  }
  std::string_view head_;
  std::size_t pos_ = 8;
  bool ok_ = true;
};

// One list of the fields in stored order, used for writing and for reading,
// so the two directions can never disagree.
template <typename Io, typename Properties>
void visitFields(Io& io, Properties& p) {
  io.number(p.flags);
  io.number(p.sortWord);
  io.number(p.displayPeriod);
  io.number(p.userDisplayDays);
  io.text(p.description);
  io.text(p.bodyFilePlace);
  io.text(p.sortKeyword);
  io.text(p.sortExpression);
  io.text(p.sendGroupTo);
  io.text(p.sendGroupCc);
  io.text(p.sendGroupBcc);
  io.number(p.signatureKind);
  io.text(p.newMailTemplate);
  io.text(p.replyTemplate);
  io.text(p.forwardTemplate);
  io.number(p.tagSelection);
  io.text(p.tagEndSymbol);
  io.text(p.userTag);
  io.text(p.soundFile);
  io.number(p.splitSizeKb);
  io.text(p.from);
  io.text(p.organization);
  io.text(p.replyTo);
  io.text(p.signatureFile);
}

}  // namespace

std::uint32_t IndexHead::readWord(std::string_view bytes, std::size_t offset) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::string IndexHead::word(std::uint32_t value) {
  std::string out(4, '\0');
  for (std::size_t i = 0; i < 4; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

std::string IndexHead::encode(const TrayProperties& properties) {
  HeadWriter writer;
  writer.number(0);
  writer.number(kFormatMark);
  visitFields(writer, properties);
  std::string head = writer.take();
  head.replace(0, 4, word(static_cast<std::uint32_t>(head.size())));
  return head;
}

std::optional<std::uint32_t> IndexHead::headLength(std::string_view firstBytes,
                                                   std::uint64_t fileLength) {
  if (firstBytes.size() < kMinimumLength) return std::nullopt;
  if (readWord(firstBytes, 4) != kFormatMark) return std::nullopt;
  const std::uint32_t length = readWord(firstBytes, 0);
  if (length < kMinimumLength || length > fileLength) return std::nullopt;
  return length;
}

std::optional<TrayProperties> IndexHead::decode(std::string_view head) {
  if (head.size() < kMinimumLength) return std::nullopt;
  TrayProperties properties;
  HeadReader reader(head);
  visitFields(reader, properties);
  if (!reader.ok()) return std::nullopt;
  return properties;
}

}  // namespace zorvik::store
