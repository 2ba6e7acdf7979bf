#include "message/ByteBuffer.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace zorvik::message {
namespace {

constexpr std::int64_t kGranule = 1024;

}  // namespace

void ByteBuffer::reserveTail(std::int32_t n) {
  const std::int64_t needed = std::int64_t{count_} + n;
  const std::int64_t readOffset = storage_ ? read_ - storage_.get() : 0;
  if (capacity_ - readOffset >= needed) return;
  if (capacity_ >= needed) {
    // Enough storage, only the consumed front is in the way.
    std::memmove(storage_.get(), read_, static_cast<std::size_t>(count_));
    read_ = storage_.get();
    return;
  }
  // Half the old capacity again, in whole granules, so that a growing line
  // is copied a logarithmic number of times.
  const std::int64_t grown = (needed + capacity_ / 2 + kGranule) / kGranule * kGranule;
  if (grown > std::numeric_limits<std::int32_t>::max())
    throw std::length_error("ByteBuffer: more than 2 GB of unread bytes");
  auto storage = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(grown));
  if (count_ > 0) std::memcpy(storage.get(), read_, static_cast<std::size_t>(count_));
  storage_ = std::move(storage);
  read_ = storage_.get();
  capacity_ = static_cast<std::int32_t>(grown);
}

char* ByteBuffer::prepareAppend(std::int32_t n) {
  reserveTail(n);
  return read_ + count_;
}

void ByteBuffer::append(std::string_view bytes) {
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    throw std::length_error("ByteBuffer: append of more than 2 GB");
  const auto n = static_cast<std::int32_t>(bytes.size());
  if (n == 0) return;
  std::memcpy(prepareAppend(n), bytes.data(), bytes.size());
  count_ += n;
}

void ByteBuffer::append(char byte) {
  *prepareAppend(1) = byte;
  ++count_;
}

void ByteBuffer::insert(std::int32_t index, char byte) {
  reserveTail(1);
  std::memmove(read_ + index + 1, read_ + index, static_cast<std::size_t>(count_ - index));
  read_[index] = byte;
  ++count_;
}

void ByteBuffer::consume(std::int32_t n) {
  if (n >= count_) {
    clear();
    return;
  }
  read_ += n;
  count_ -= n;
}

std::int32_t ByteBuffer::findLineEnd() const {
  for (std::int32_t i = 0; i < count_; ++i) {
    if (read_[i] == '\n') return i + 1;
    if (read_[i] != '\r') continue;
    if (i + 1 == count_) return -1;
    return read_[i + 1] == '\n' ? i + 2 : i + 1;
  }
  return -1;
}

std::string ByteBuffer::copyOut(std::int32_t start, std::int32_t n) const {
  return {read_ + start, static_cast<std::size_t>(n)};
}

void ByteBuffer::assign(std::string_view bytes) {
  clear();
  append(bytes);
}

void ByteBuffer::clear() {
  count_ = 0;
  read_ = storage_.get();
}

}  // namespace zorvik::message
