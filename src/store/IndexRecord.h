/// \file
/// The 170-byte record a tray's index file holds for each mail, kept as the
/// bytes that are on disk so that reading 100,000 of them is one copy each.
/// Integers are 32-bit little-endian; text fields are the first bytes of the
/// text, zero-filled, with no terminator when the text fills the field.
///
///   0 flags          4 text start (offset of the "From " separator line)
///   8 body start    12 body line count   16 header line count
///  20 date (seconds since 1970 UTC)     24 list address (30 bytes)
///  54 list name (20)  74 Subject (80)  154 own key (4 x 16 bit)
/// 162 parent key (4 x 16 bit)
///
/// A link record shares the size and the flags word; see LinkRecord.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zorvik::store {

/// Thread key: four 16-bit sums computed from a Message-Id.
using ThreadKey = std::array<std::uint16_t, 4>;

class IndexRecord {
public:
  static constexpr std::size_t kSize = 170;
  static constexpr std::size_t kListAddressSize = 30;
  static constexpr std::size_t kListNameSize = 20;
  static constexpr std::size_t kSubjectSize = 80;

  /// All fields zero.
  IndexRecord() = default;
  /// The record whose stored form is the first kSize bytes at `bytes`.
  static IndexRecord fromBytes(const char* bytes);
  /// Replaces the record by the kSize bytes at `bytes` (no temporary).
  void assign(const char* bytes);

  /// The stored form, kSize bytes.
  std::string_view bytes() const { return {bytes_.data(), kSize}; }

  std::uint32_t flags() const { return number(0); }
  void setFlags(std::uint32_t flags) { setNumber(0, flags); }
  bool hasFlag(std::uint32_t bit) const { return (flags() & bit) != 0; }
  bool isDeleted() const;
  bool isLink() const;
  int referenceCount() const;
  int mark() const;

  std::uint32_t textStart() const { return number(4); }
  void setTextStart(std::uint32_t offset) { setNumber(4, offset); }
  std::uint32_t bodyStart() const { return number(8); }
  void setBodyStart(std::uint32_t offset) { setNumber(8, offset); }
  std::uint32_t bodyLineCount() const { return number(12); }
  void setBodyLineCount(std::uint32_t count) { setNumber(12, count); }
  std::uint32_t headerLineCount() const { return number(16); }
  void setHeaderLineCount(std::uint32_t count) { setNumber(16, count); }
  /// Seconds since 1970-01-01 00:00 UTC, signed so that a date before 1970
  /// survives the round trip.
  std::int32_t date() const { return static_cast<std::int32_t>(number(20)); }
  void setDate(std::int32_t seconds) { setNumber(20, static_cast<std::uint32_t>(seconds)); }

  /// Text fields end at their first zero byte or at the field size. Setting a
  /// longer text stores its first bytes only (a double-byte character may be
  /// cut in two, as every stored record has always done).
  std::string_view listAddress() const { return text(24, kListAddressSize); }
  void setListAddress(std::string_view text) { setText(24, kListAddressSize, text); }
  std::string_view listName() const { return text(54, kListNameSize); }
  void setListName(std::string_view text) { setText(54, kListNameSize, text); }
  std::string_view subject() const { return text(74, kSubjectSize); }
  void setSubject(std::string_view text) { setText(74, kSubjectSize, text); }

  ThreadKey ownKey() const { return key(154); }
  void setOwnKey(const ThreadKey& key) { setKey(154, key); }
  ThreadKey parentKey() const { return key(162); }
  void setParentKey(const ThreadKey& key) { setKey(162, key); }

  bool operator==(const IndexRecord&) const = default;

protected:
  std::uint32_t number(std::size_t offset) const;
  void setNumber(std::size_t offset, std::uint32_t value);
  std::string_view text(std::size_t offset, std::size_t size) const;
  void setText(std::size_t offset, std::size_t size, std::string_view text);

private:
  ThreadKey key(std::size_t offset) const;
  void setKey(std::size_t offset, const ThreadKey& key);

  std::array<char, kSize> bytes_{};
};

}  // namespace zorvik::store
