#include "import/MboxWriter.h"

#include "platform/FileSystem.h"

namespace zorvik::import {
namespace {

constexpr std::size_t kFlushSize = 1 << 20;

}  // namespace

MboxWriter::MboxWriter(std::string_view path) : out_(platform::nativePath(path), std::ios::binary | std::ios::trunc) {}

bool MboxWriter::write(std::string_view mail) {
  if (!out_.is_open() || failed_) return false;
  buffer_ += "From \r\n";
  for (std::size_t at = 0; at < mail.size();) {
    const std::size_t lf = mail.find('\n', at);
    const std::size_t end = lf == std::string_view::npos ? mail.size() : lf;
    std::string_view line = mail.substr(at, end - at);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.starts_with("From ")) buffer_ += '>';
    buffer_.append(line);
    buffer_ += "\r\n";
    at = end + 1;
  }
  buffer_ += "\r\n";
  if (buffer_.size() < kFlushSize) return true;
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
  failed_ = !out_;
  return !failed_;
}

bool MboxWriter::close() {
  if (!out_.is_open()) return false;
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
  out_.close();
  return !failed_ && !out_.fail();
}

}  // namespace zorvik::import
