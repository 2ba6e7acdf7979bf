#include "store/TrayTextReader.h"

namespace zorvik::store {
namespace {

constexpr std::size_t kBlock = 64 * 1024;

}  // namespace

std::optional<TrayTextReader> TrayTextReader::open(std::string_view path, std::uint64_t offset,
                                                   std::uint32_t maxLines) {
  auto file = platform::FileLock::open(path, platform::FileAccess::Read);
  if (!file) return std::nullopt;
  return over(std::move(*file), offset, maxLines);
}

std::optional<TrayTextReader> TrayTextReader::over(platform::FileLock file, std::uint64_t offset,
                                                   std::uint32_t maxLines) {
  const auto size = file.size();
  if (!size || offset > *size) return std::nullopt;
  return TrayTextReader(std::move(file), offset, maxLines);
}

// Appends the next block after what is buffered; false when nothing more.
bool TrayTextReader::fill() {
  if (atEnd_) return false;
  buffer_.erase(0, used_);
  used_ = 0;
  const std::size_t kept = buffer_.size();
  buffer_.resize(kept + kBlock);
  const auto got = file_.readAt(position_ + kept, buffer_.data() + kept, kBlock);
  const std::size_t count = got ? *got : 0;
  buffer_.resize(kept + count);
  if (count == 0) atEnd_ = true;
  return count > 0;
}

bool TrayTextReader::next(std::string& line) {
  if (left_ == 0) return false;
  std::size_t lf = buffer_.find('\n', used_);
  while (lf == std::string::npos && fill()) lf = buffer_.find('\n', used_);
  const std::size_t end = lf == std::string::npos ? buffer_.size() : lf;
  if (end == used_ && lf == std::string::npos) return false;  // nothing left
  line.assign(buffer_, used_, end - used_);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::size_t consumed = (lf == std::string::npos ? end : lf + 1) - used_;
  position_ += consumed;
  used_ += consumed;
  --left_;
  return true;
}

}  // namespace zorvik::store
