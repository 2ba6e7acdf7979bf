#include "store/IndexRecord.h"

#include <algorithm>
#include <cstring>

#include "store/RecordFlags.h"

namespace zorvik::store {

IndexRecord IndexRecord::fromBytes(const char* bytes) {
  IndexRecord record;
  record.assign(bytes);
  return record;
}

void IndexRecord::assign(const char* bytes) { std::memcpy(bytes_.data(), bytes, kSize); }

bool IndexRecord::isDeleted() const { return hasFlag(recordflag::kDeleted); }
bool IndexRecord::isLink() const { return hasFlag(recordflag::kLink); }
int IndexRecord::referenceCount() const { return recordflag::referenceCount(flags()); }
int IndexRecord::mark() const { return recordflag::markNumber(flags()); }

std::uint32_t IndexRecord::number(std::size_t offset) const {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data() + offset);
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void IndexRecord::setNumber(std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string_view IndexRecord::text(std::size_t offset, std::size_t size) const {
  const char* start = bytes_.data() + offset;
  const auto* zero = static_cast<const char*>(std::memchr(start, 0, size));
  return {start, zero ? static_cast<std::size_t>(zero - start) : size};
}

void IndexRecord::setText(std::size_t offset, std::size_t size, std::string_view text) {
  const std::size_t kept = std::min(size, text.size());
  std::memcpy(bytes_.data() + offset, text.data(), kept);
  std::memset(bytes_.data() + offset + kept, 0, size - kept);
}

ThreadKey IndexRecord::key(std::size_t offset) const {
  ThreadKey key{};
  for (std::size_t i = 0; i < 4; ++i) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data() + offset + 2 * i);
    key[i] = static_cast<std::uint16_t>(p[0] | p[1] << 8);
  }
  return key;
}

void IndexRecord::setKey(std::size_t offset, const ThreadKey& key) {
  for (std::size_t i = 0; i < 4; ++i) {
    bytes_[offset + 2 * i] = static_cast<char>(key[i] & 0xFF);
    bytes_[offset + 2 * i + 1] = static_cast<char>(key[i] >> 8);
  }
}

}  // namespace zorvik::store
