/// \file
/// Stores a draft into the unsent tray the way the compose window does when
/// the user presses send: the header fields become the mail's header block
/// (message::ComposedHeaderWriter), every attachment a line
/// "@#MIME \"path\"" at the end of the text, the text is normalised
/// (message::DraftBody), and the split size goes into the internal line.
///
/// What the user typed never shapes the header: an address list holding a
/// control character (CR, LF, NUL, ...) is refused with a message that shows
/// the bad character, before anything is stored; CR and LF in the subject
/// become spaces.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "store/StoreLocation.h"

namespace zorvik::compose {

struct Draft {
  std::string to;  ///< address lists as typed ("," or ";" between addresses), Shift_JIS
  std::string cc;
  std::string bcc;
  std::string subject;
  std::string body;  ///< the text, LF or CR LF between lines, Shift_JIS
  std::vector<std::string> attachments;  ///< paths of files to attach
  std::int32_t splitKilobytes = 0;       ///< 0: never sent split
};

class DraftWriter {
public:
  /// `settings` and `messages` must outlive the writer.
  DraftWriter(store::StoreLocation store, const core::SettingsFile& settings, core::Messages& messages);

  /// Checks the draft and stores it at the end of the unsent tray (settings
  /// item 204); returns its record index. Refusals, each with its message:
  /// 40501 no text and no subject, 40502 no To address, 40503 no subject
  /// (when the first text line may not stand in for it, item 510), 40504
  /// no own address (item 502), 41004 an address list with a control
  /// character, 41100 an attachment that is not a readable file (or whose
  /// path a tag line cannot hold), 40599 the draft's work file cannot be
  /// written or the tray refuses the mail.
  std::optional<std::uint32_t> storeUnsent(const Draft& draft, std::time_t now) const;

private:
  bool check(const Draft& draft, std::string& subject) const;
  std::optional<std::string> writeBodyFile(const Draft& draft) const;

  store::StoreLocation store_;
  const core::SettingsFile& settings_;
  core::Messages& messages_;
};

}  // namespace zorvik::compose
