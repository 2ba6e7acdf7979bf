#include "import/MsInternetMail.h"

#include <fstream>

#include "core/SjisText.h"
#include "platform/FileSystem.h"

namespace zorvik::import {
namespace {

constexpr std::string_view kMagic = "JMF9";
constexpr std::size_t kCountAt = 8;
constexpr std::size_t kFirstRecord = 80;
constexpr std::size_t kLengthAt = 16;
constexpr std::size_t kOffsetAt = 20;
constexpr std::size_t kSizeAt = 24;
constexpr std::size_t kRecordFields = 28;  // the bytes of a record that are read
constexpr std::uint64_t kMailHead = 16;

std::uint32_t word(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

// The file beside `path` named `stem` + `extension` in any case; the
// extension as given when there is none.
std::string partnerOf(std::string_view path, std::string_view stem, std::string_view extension) {
  const std::string folder = platform::directoryOf(path);
  const std::string wanted = std::string(stem) + std::string(extension);
  for (const auto& entry : platform::listDirectory(folder.empty() ? "." : folder)) {
    if (!entry.isDirectory && core::equalsIgnoringAsciiCase(entry.name, wanted)) return platform::joinPath(folder, entry.name);
  }
  return platform::joinPath(folder, wanted);
}

}  // namespace

std::optional<MsInternetMail::Pair> MsInternetMail::pairOf(std::string_view chosen) {
  const std::string name = platform::fileNameOf(chosen);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return std::nullopt;
  const std::string extension = name.substr(dot);
  const std::string stem = name.substr(0, dot);
  const bool upper = extension[1] >= 'A' && extension[1] <= 'Z';
  if (core::equalsIgnoringAsciiCase(extension, ".idx"))
    return Pair{std::string(chosen), partnerOf(chosen, stem, upper ? ".MBX" : ".mbx")};
  if (core::equalsIgnoringAsciiCase(extension, ".mbx"))
    return Pair{partnerOf(chosen, stem, upper ? ".IDX" : ".idx"), std::string(chosen)};
  return std::nullopt;
}

ReadEnd MsInternetMail::read(std::string_view index, std::uint64_t mailboxSize, const MailboxRead& mailbox,
                             const MailHandler& each) {
  if (index.size() < kFirstRecord || !index.starts_with(kMagic)) return ReadEnd::Damaged;
  const std::uint32_t count = word(index, kCountAt);
  std::size_t at = kFirstRecord;
  for (std::uint32_t n = 0; n < count; ++n) {
    if (index.size() - at < kRecordFields) return ReadEnd::Damaged;
    const std::uint32_t length = word(index, at + kLengthAt);
    if (word(index, at) == 0) {
      const std::uint64_t offset = word(index, at + kOffsetAt);
      const std::uint64_t size = word(index, at + kSizeAt);
      if (size < kMailHead || offset + size > mailboxSize) return ReadEnd::Damaged;
      const auto text = mailbox(offset + kMailHead, size - kMailHead);
      if (!text) return ReadEnd::Unreadable;
      if (!each(*text)) return ReadEnd::Stopped;
    }
    // A record never overlaps the fields of the one before it, so a
    // damaged length cannot make the reading go round for ever.
    if (length < kRecordFields) return n + 1 == count ? ReadEnd::Done : ReadEnd::Damaged;
    if (index.size() - at < length) return n + 1 == count ? ReadEnd::Done : ReadEnd::Damaged;
    at += length;
  }
  return ReadEnd::Done;
}

ReadEnd MsInternetMail::readFiles(const Pair& pair, const MailHandler& each) {
  const auto index = platform::readFile(pair.index);
  const auto mailboxSize = platform::fileSize(pair.mailbox);
  std::ifstream mailbox(platform::nativePath(pair.mailbox), std::ios::binary);
  if (!index || !mailboxSize || !mailbox) return ReadEnd::Unreadable;
  const MailboxRead readAt = [&mailbox](std::uint64_t offset, std::uint64_t size) -> std::optional<std::string> {
    std::string text(size, '\0');
    mailbox.seekg(static_cast<std::streamoff>(offset));
    mailbox.read(text.data(), static_cast<std::streamsize>(size));
    if (static_cast<std::uint64_t>(mailbox.gcount()) != size) return std::nullopt;
    return text;
  };
  return read(*index, *mailboxSize, readAt, each);
}

}  // namespace zorvik::import
