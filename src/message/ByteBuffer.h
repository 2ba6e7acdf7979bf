/// \file
/// A growable byte array with a moving read position: the intermediate
/// buffer between the stages of a DecodePipeline, and the BinHex decoder's
/// run-length buffer. Bytes are appended at the end and consumed from the
/// front; consuming everything rewinds to the start of the storage, so a
/// buffer that is emptied after every line never grows past its longest line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zorvik::message {

class ByteBuffer {
public:
  ByteBuffer() = default;
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;
  ByteBuffer(ByteBuffer&&) noexcept = default;
  ByteBuffer& operator=(ByteBuffer&&) noexcept = default;

  /// The unread bytes.
  const char* data() const { return read_; }
  char* data() { return read_; }
  std::int32_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  std::string_view view() const { return {read_, static_cast<std::size_t>(count_)}; }
  std::int32_t capacity() const { return capacity_; }

  void append(std::string_view bytes);
  void append(char byte);
  /// Inserts one byte before unread index `index` (0..size()); later bytes
  /// move up.
  void insert(std::int32_t index, char byte);

  /// Room for `n` more bytes at the end: write up to `n` bytes at the
  /// returned pointer, then commitAppend the number written. Lets a decoder
  /// write straight into the buffer without a temporary.
  char* prepareAppend(std::int32_t n);
  void commitAppend(std::int32_t n) { count_ += n; }

  /// Drops the first `n` unread bytes (at most size()).
  void consume(std::int32_t n);
  /// Keeps only the first `n` unread bytes (after an in-place conversion that
  /// shrank them).
  void truncate(std::int32_t n) { count_ = n; }

  /// Index just past the next line end (CR LF, LF, or a CR followed by
  /// another byte), or -1 when the data holds no complete line. A CR that is
  /// the last byte is not yet a line end: its LF may come with the next
  /// append, and taking it early would split one CR LF into two lines.
  std::int32_t findLineEnd() const;

  /// `n` unread bytes from index `start` as a string.
  std::string copyOut(std::int32_t start, std::int32_t n) const;
  /// Replaces the whole content by `bytes`.
  void assign(std::string_view bytes);
  void clear();

private:
  /// Makes room for `n` more bytes after the unread ones. Throws
  /// std::length_error when the total would pass the signed 32-bit range.
  void reserveTail(std::int32_t n);

  char* read_ = nullptr;
  std::int32_t capacity_ = 0;
  std::int32_t count_ = 0;
  std::unique_ptr<char[]> storage_;
};

}  // namespace zorvik::message
