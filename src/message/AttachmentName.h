/// \file
/// File names for attachments saved from received mail. The name comes from
/// the mail, so it is hostile until proven otherwise: "../../.bashrc",
/// "/etc/passwd", ".." or a name with control characters must never create
/// or overwrite a file outside the mail's attachment folder.
///
/// Names are Shift_JIS: a backslash or "|" byte may be the second byte of a
/// double-byte character ("表" is 0x95 0x5C), so every scan here steps over
/// double-byte characters whole and never cuts or replaces their halves.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorvik::message {

class AttachmentName {
public:
  /// The name used when the mail's own name cannot be used at all.
  static constexpr std::string_view kFallback = "Attach";

  /// The name as a single file name: only its last path component (after
  /// "/" or "\"), control characters (NUL included), double quotes and bytes
  /// that are no Shift_JIS character (a lead byte without its trail byte, a
  /// byte that can only be a trail) replaced by "_", and kFallback for what
  /// is left empty, ".", "..", or made of dots and blanks only. A quote would
  /// end the reference line's name early, a line break would split the
  /// stored text, and a NUL would cut the name the file system sees.
  static std::string safe(std::string_view name);

  /// `name` with every character that file systems of the mail's world
  /// refuse (\ / : * ? " < > |) replaced by "_": the second attempt when a
  /// file of the first name could not be created.
  static std::string withoutReserved(std::string_view name);

  /// The path for saving `name` in `folder`: `name` itself when no such file
  /// exists, else "_1", "_2", ... inserted before the extension until the
  /// name is free. Gives up (empty) after kMaxTries names: a folder that
  /// claims every name exists is no place to save into.
  static std::optional<std::string> freePath(std::string_view folder, std::string_view name);

  static constexpr int kMaxTries = 10000;
};

}  // namespace zorvik::message
