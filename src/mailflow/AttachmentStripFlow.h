/// \file
/// Deletes the attachments of stored mails: each mail's reference lines
/// become notes "■消去された添付ファイル name" and it no longer claims an
/// attachment folder (message::AttachmentStripper); the rewritten mail takes
/// the old one's place (MailRewrite), so the files stay with the old mail in
/// the trash until the trash is emptied. A link row is followed to its mail.
/// Mails the user sent are passed over: their references name the user's
/// own files. So are mails without any attachment, which would only change
/// place.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::mailflow {

class Document;

struct StrippedMail {
  std::uint32_t index = 0;  ///< as asked for
  std::string tray;         ///< where the rewritten mail is (a link's target)
  std::optional<std::uint32_t> newIndex;  ///< empty: passed over or not rewritten
  int removed = 0;          ///< references that became notes
};

class AttachmentStripFlow {
public:
  /// Strips mails `indices` of `tray`, one after the other. Empty when the
  /// store is busy (its lock's message shown).
  static std::optional<std::vector<StrippedMail>> run(const Document& document, const std::string& tray,
                                                      const std::vector<std::uint32_t>& indices);
};

}  // namespace zorvik::mailflow
