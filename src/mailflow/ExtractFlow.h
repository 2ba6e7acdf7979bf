/// \file
/// Takes the files out of a stored mail's text (uuencoded blocks, base64
/// parts kept as text; see message::BodyFileExtractor) into the mail's
/// attachment folder and puts the rewritten mail, with reference lines in
/// the files' places, in place of the mail (MailRewrite). A link row is
/// followed to its mail.
///
/// Messages: 40133 when the text holds no file (nothing changes, a folder
/// made for it goes again); 40134 or 40135 when the text ends inside a
/// uuencoded or base64 file (what was there is kept, and the mail is still
/// rewritten); 41110 when a file cannot be created (every file saved is
/// removed again and the mail stays as it was); the store lock's messages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::mailflow {

class Document;

struct ExtractReport {
  std::string tray;    ///< the tray that holds the rewritten mail (a link's target)
  std::uint32_t index = 0;
  std::vector<std::string> files;  ///< the saved files, full paths
};

class ExtractFlow {
public:
  /// Extracts the files of mail `index` of `tray`. Empty when nothing was
  /// rewritten: no such live mail (no message: the caller named it), or
  /// after the message that says why.
  static std::optional<ExtractReport> run(const Document& document, const std::string& tray, std::uint32_t index);
};

}  // namespace zorvik::mailflow
