#include "import/MboxWriter.h"

#include "core/TextLines.h"
#include "platform/FileSystem.h"

namespace zorvik::import {
namespace {

constexpr std::size_t kFlushSize = 1 << 20;

}  // namespace

MboxWriter::MboxWriter(std::string_view path) : out_(platform::nativePath(path), std::ios::binary | std::ios::trunc) {}

bool MboxWriter::write(std::string_view mail) {
  if (!out_.is_open() || failed_) return false;
  buffer_ += "From \r\n";
  core::TextLines lines(mail);
  for (std::string_view line; lines.next(line);) {
    if (line.starts_with("From ")) buffer_ += '>';
    buffer_.append(line);
    buffer_ += "\r\n";
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
