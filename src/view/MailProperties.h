/// \file
/// What the mail property sheet shows of one stored mail: the page "情報"
/// (From, 件名, To, Cc, Bcc, 送信時刻, キー, Sender, ReplyTo, MsgId), the
/// whole header for "ヘッダー", the files of its attachment folder for
/// "添付ﾌｧｲﾙ", and the record's own facts for "その他の情報". Texts are
/// Shift_JIS; nothing here is edited.
///
/// Saving an attachment copies it into a folder the user picks, never over
/// a file that is there already, and never under a name that leaves the
/// folder (a name is taken without any folder part).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "store/StoreLocation.h"

namespace zorvik::view {

struct MailProperties {
  using Fields = std::vector<std::pair<std::string, std::string>>;
  struct Attachment {
    std::string name;
    std::string path;
    std::uint64_t size = 0;
  };

  Fields info;
  std::string header;
  std::vector<Attachment> attachments;
  Fields other;

  /// Mail `index` of `tray` (a link followed to its mail); empty when it
  /// cannot be read.
  static std::optional<MailProperties> of(const store::StoreLocation& store, const std::string& tray,
                                          std::uint32_t index, int zoneHours);

  /// Copies `attachment` into `folder`; the path written, or empty when a
  /// file of that name is there or the copy failed.
  static std::optional<std::string> save(const Attachment& attachment, const std::string& folder);
};

}  // namespace zorvik::view
