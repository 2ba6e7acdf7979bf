#include "store/TrayAppender.h"

#include <limits>
#include <utility>

namespace zorvik::store {
namespace {

constexpr std::size_t kFlushBytes = 1 << 20;
constexpr std::string_view kLineEnd = "\r\n";

bool holdsLineBreak(std::string_view line) {
  return line.find_first_of("\r\n") != std::string_view::npos;
}

bool isStorable(const MailText& mail) {
  if (mail.separator.rfind("From ", 0) != 0 || holdsLineBreak(mail.separator)) return false;
  for (const auto& line : mail.header) {
    // An empty header line would end the header early on every later read.
    if (line.empty() || holdsLineBreak(line)) return false;
  }
  for (const auto& line : mail.body) {
    if (holdsLineBreak(line)) return false;
  }
  return true;
}

}  // namespace

std::optional<TrayAppender> TrayAppender::open(const StoreLocation& store, std::string_view name) {
  if (!TrayName::isUsable(name)) return std::nullopt;
  const std::string indexPath = TrayName::path(store, name, filetype::kIndex);
  const std::string textPath = TrayName::path(store, name, filetype::kText);
  if (store.writeCheck && !store.writeCheck(textPath)) return std::nullopt;
  // The index is locked first by every operation, so two writers of the
  // same tray never hold one file each.
  auto index = TrayIndex::open(indexPath, platform::FileAccess::Update);
  if (!index) return std::nullopt;
  auto text = platform::FileLock::open(textPath, platform::FileAccess::Create);
  if (!text) return std::nullopt;
  const auto textEnd = text->size();
  if (!textEnd) return std::nullopt;
  return TrayAppender(std::move(*index), std::move(*text), *textEnd);
}

TrayAppender::TrayAppender(TrayIndex index, platform::FileLock text, std::uint64_t textEnd)
    : index_(std::move(index)),
      text_(std::move(text)),
      textBegin_(textEnd),
      firstIndex_(index_->recordCount()),
      textEnd_(textEnd),
      textWritten_(textEnd),
      nextIndex_(firstIndex_) {}

TrayAppender::TrayAppender(TrayAppender&& other) noexcept
    : index_(std::exchange(other.index_, std::nullopt)),
      text_(std::exchange(other.text_, std::nullopt)),
      textBegin_(other.textBegin_),
      firstIndex_(other.firstIndex_),
      textEnd_(other.textEnd_),
      textWritten_(other.textWritten_),
      nextIndex_(other.nextIndex_),
      textBuffer_(std::exchange(other.textBuffer_, {})),
      indexBuffer_(std::exchange(other.indexBuffer_, {})),
      failed_(other.failed_) {}

TrayAppender& TrayAppender::operator=(TrayAppender&& other) noexcept {
  if (this == &other) return *this;
  finish();
  index_ = std::exchange(other.index_, std::nullopt);
  text_ = std::exchange(other.text_, std::nullopt);
  textBegin_ = other.textBegin_;
  firstIndex_ = other.firstIndex_;
  textEnd_ = other.textEnd_;
  textWritten_ = other.textWritten_;
  nextIndex_ = other.nextIndex_;
  textBuffer_ = std::exchange(other.textBuffer_, {});
  indexBuffer_ = std::exchange(other.indexBuffer_, {});
  failed_ = other.failed_;
  return *this;
}

TrayAppender::~TrayAppender() { finish(); }

bool TrayAppender::mayGrow(std::size_t bytes) const {
  return textEnd_ + bytes <= std::numeric_limits<std::uint32_t>::max();
}

std::optional<std::uint32_t> TrayAppender::appendMail(const MailText& mail, IndexRecord record) {
  if (!index_ || failed_ || !isStorable(mail)) return std::nullopt;
  std::size_t size = mail.separator.size() + 2 * kLineEnd.size();
  for (const auto& line : mail.header) size += line.size() + kLineEnd.size();
  for (const auto& line : mail.body) size += line.size() + kLineEnd.size();
  if (!mayGrow(size)) return std::nullopt;

  record.setTextStart(static_cast<std::uint32_t>(textEnd_));
  std::size_t headerBytes = mail.separator.size() + kLineEnd.size();
  textBuffer_ += mail.separator;
  textBuffer_ += kLineEnd;
  for (const auto& line : mail.header) {
    textBuffer_ += line;
    textBuffer_ += kLineEnd;
    headerBytes += line.size() + kLineEnd.size();
  }
  textBuffer_ += kLineEnd;
  headerBytes += kLineEnd.size();
  for (const auto& line : mail.body) {
    textBuffer_ += line;
    textBuffer_ += kLineEnd;
  }
  record.setBodyStart(static_cast<std::uint32_t>(textEnd_ + headerBytes));
  record.setHeaderLineCount(static_cast<std::uint32_t>(mail.header.size()));
  record.setBodyLineCount(static_cast<std::uint32_t>(mail.body.size()));
  textEnd_ += size;
  return appendRecord(record);
}

std::optional<std::uint32_t> TrayAppender::appendRecord(const IndexRecord& record) {
  if (!index_ || failed_ || nextIndex_ == std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  indexBuffer_ += record.bytes();
  const std::uint32_t index = nextIndex_++;
  if (textBuffer_.size() + indexBuffer_.size() >= kFlushBytes && !flush()) return std::nullopt;
  return index;
}

bool TrayAppender::flush() {
  if (!index_ || failed_) return !failed_;
  if (!textBuffer_.empty()) {
    if (!text_->writeAt(textWritten_, textBuffer_)) {
      // Nothing will point at a partly written text: cut it off again.
      failed_ = true;
      text_->resize(textWritten_);
    }
    textWritten_ += textBuffer_.size();
    textBuffer_.clear();
  }
  if (!failed_ && !indexBuffer_.empty() && !index_->appendBytes(indexBuffer_)) failed_ = true;
  indexBuffer_.clear();
  return !failed_;
}

bool TrayAppender::finish() {
  const bool ok = flush();
  index_.reset();
  text_.reset();
  return ok;
}

bool TrayAppender::sync() {
  if (!index_) return false;
  // The text first: a record made durable before the text it points at
  // would show garbage after a power cut.
  return flush() && text_->sync() && index_->file().sync();
}

bool TrayAppender::abandon() {
  if (!index_) return false;
  textBuffer_.clear();
  indexBuffer_.clear();
  // The records go before their text, so no record ever points past the
  // end of the text, even when the second cut fails.
  const bool ok = index_->keepRecords(firstIndex_) && text_->resize(textBegin_);
  index_.reset();
  text_.reset();
  return ok;
}

}  // namespace zorvik::store
