/// \file
/// The bits of a record's 32-bit flags word, as stored in the index file, and
/// the two small counters packed into it (reference count and mark number).
#pragma once

#include <cstdint>

namespace zorvik::store::recordflag {

inline constexpr std::uint32_t kDeleted = 0x00000001;
inline constexpr std::uint32_t kLink = 0x00000002;
inline constexpr std::uint32_t kSentByUser = 0x00000004;
inline constexpr std::uint32_t kAttachments = 0x00000008;  // or multipart
inline constexpr std::uint32_t kOpened = 0x00000010;
/// Never stored: set on a record read through a link whose target is gone.
inline constexpr std::uint32_t kBrokenLink = 0x00000020;
inline constexpr std::uint32_t kToUser = 0x00000040;
/// The user has replied to the mail (set when the reply is queued).
inline constexpr std::uint32_t kReplied = 0x00000080;
inline constexpr std::uint32_t kSwitch1 = 0x00002000;
inline constexpr std::uint32_t kSwitch2 = 0x00004000;
inline constexpr std::uint32_t kFragment = 0x00008000;
inline constexpr std::uint32_t kEncrypted = 0x00080000;

/// How many link records elsewhere point at this mail: bits 9-12, 0-15.
inline constexpr std::uint32_t kReferenceMask = 0x00001E00;
inline constexpr int kReferenceShift = 9;
inline constexpr int kReferenceLimit = 15;
/// Mark number 0-7 (0 none, 1-5 the user's marks): bits 16-18.
inline constexpr std::uint32_t kMarkMask = 0x00070000;
inline constexpr int kMarkShift = 16;

/// The flags word of a freshly written link record.
inline constexpr std::uint32_t kNewLink = kLink;

constexpr int referenceCount(std::uint32_t flags) {
  return static_cast<int>((flags & kReferenceMask) >> kReferenceShift);
}
/// `flags` with the count replaced; the count is kept within 0-15.
constexpr std::uint32_t withReferenceCount(std::uint32_t flags, int count) {
  const int kept = count < 0 ? 0 : (count > kReferenceLimit ? kReferenceLimit : count);
  return (flags & ~kReferenceMask) | (static_cast<std::uint32_t>(kept) << kReferenceShift);
}
constexpr int markNumber(std::uint32_t flags) {
  return static_cast<int>((flags & kMarkMask) >> kMarkShift);
}
constexpr std::uint32_t withMark(std::uint32_t flags, int mark) {
  return (flags & ~kMarkMask) | ((static_cast<std::uint32_t>(mark) & 7U) << kMarkShift);
}

}  // namespace zorvik::store::recordflag
