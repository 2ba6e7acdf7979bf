/// \file
/// Finds the clickable spans ("tags") of one line of mail text: mail
/// addresses, web and ftp addresses, network paths, and the tag-command
/// lines that name files ("@#MIME", "@#UUENCODE", "@#BINHEX", "@#INCLUDE"
/// followed by a space). The text view and the compose editor both use it.
///
/// Lines are Shift_JIS. Double-byte characters are stepped over whole, so a
/// trail byte that happens to be "@", "\" or a letter never starts or
/// continues a tag. Addresses and URLs are ASCII; the first Japanese
/// character ends them ("taro@example.jp。" is "taro@example.jp"). A network
/// path takes double-byte characters in its names.
///
/// A URL or address that ends in "." or "," keeps neither (they end the
/// sentence, not the address), and a closing ")" belongs to a URL only when
/// the URL opened one itself ("(http://a.jp/)" is "http://a.jp/", while
/// "http://a.jp/Foo_(bar)" stays whole).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::view {

enum class TagKind : std::uint8_t {
  MailAddress = 0x10,
  MimeLine = 0x20,
  UuencodeLine = 0x21,
  BinhexLine = 0x22,
  IncludeLine = 0x23,
  Http = 0x30,
  Ftp = 0x31,
  NetworkPath = 0x32,
};

/// A tag-command line (0x2X): its file is shown with an icon.
inline bool isFileTag(TagKind kind) { return (static_cast<int>(kind) & 0xF0) == 0x20; }
/// A web or ftp address or network path (0x3X).
inline bool isLinkTag(TagKind kind) { return (static_cast<int>(kind) & 0xF0) == 0x30; }

struct Tag {
  TagKind kind = TagKind::MailAddress;
  std::size_t start = 0;   // byte offset in the line
  std::size_t length = 0;  // bytes
  /// For a tag-command line: the file it names, as written (without the
  /// quotes; "%:" standing for the mail's attachment folder).
  std::string reference;

  std::size_t end() const { return start + length; }
  bool operator==(const Tag&) const = default;
};

class TagScanner {
public:
  /// Every tag of `line` (without its line end), in text order. A
  /// tag-command line is one tag over the whole line.
  static std::vector<Tag> scan(std::string_view line);
};

}  // namespace zorvik::view
