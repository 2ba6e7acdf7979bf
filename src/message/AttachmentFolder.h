/// \file
/// The folder in which a received mail's attachments are saved, one per mail
/// below the attachment root (".inc" in the top cabinet for a tray of the
/// store), named by the mail's date and a sequence number: "1261207.000" is
/// the first folder of mails dated 2026-12-07 (the year counted from 1900).
/// The mail names its folder in its "X-Zorvik-AttachDir: " line, and its
/// reference lines name the files as "%:" followed by the file name.
///
/// The names of the files saved in a folder are AttachmentName's. References
/// come from mail text, which anyone can write, so a resolved reference
/// never lies outside its folder.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik::message {

class AttachmentFolder {
public:
  /// "%02d%02d%02d.%03d": year - 1900, month, day of `date` in the zone
  /// `zoneHours` east of UTC, and `sequence`.
  static std::string nameFor(std::time_t date, int zoneHours, int sequence);

  /// Creates the first folder of the date's names (sequence `firstSequence`,
  /// the next, ...) that does not exist yet under `root` (created when
  /// missing) and returns its name. The directory is claimed atomically, so
  /// two receivers never share a folder. Empty when nothing can be created.
  static std::optional<std::string> create(std::string_view root, std::time_t date, int zoneHours,
                                           int firstSequence = 0);

  /// The file a stored reference names. "%:" followed by a file name stands
  /// for that file in the mail's folder: `root`, "/", the folder (the mail's
  /// Message-Id when it has no folder name), "/", the name. Other references
  /// are paths used as they are. Empty for a "%:" reference that would leave
  /// the folder (a "/" inside the name or a ".." name) or a folder name that
  /// is not a plain name.
  static std::optional<std::string> resolve(std::string_view reference, std::string_view root,
                                            std::string_view folder, std::string_view messageId);
};

}  // namespace zorvik::message
