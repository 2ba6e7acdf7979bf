/// \file
/// Composition of one mail of the unsent tray for sending: its stored
/// header and body are read from the tray, composed into the header file
/// and the body file (message::MimeComposer), and handed back with the
/// envelope as a message::ComposedMail. The send driver calls it once per
/// mail, and once more with attachments off for the recipients who get no
/// attachments; a mail with a split size is then cut into fragments with
/// message::PartialSplitter.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/Messages.h"
#include "message/ComposedMail.h"
#include "message/MailRecordParser.h"
#include "message/MimeComposer.h"
#include "store/TrayFile.h"

namespace zorvik::compose {

class UnsentMailComposer {
public:
  /// All three must outlive the composer.
  UnsentMailComposer(const store::TrayFile& tray, const message::MailRecordParser& parser, core::Messages& messages)
      : tray_(tray), parser_(parser), messages_(messages) {}

  /// Composes mail `index` of the tray into the files at `headerPath` and
  /// `bodyPath` (created or truncated; fresh work files of the caller's).
  /// Empty when the mail cannot be read from the tray (no message: the
  /// store reports nothing, the driver does) or when composing failed (its
  /// message has been shown and both files are removed).
  std::optional<message::ComposedMail> compose(std::uint32_t index, const message::ComposeOptions& options,
                                               std::string_view headerPath, std::string_view bodyPath) const;

  /// The stored lines of mail `index`: header lines and body lines,
  /// without the separator. Empty when the mail cannot be read.
  std::optional<message::MailLines> readMail(std::uint32_t index) const;

private:
  const store::TrayFile& tray_;
  const message::MailRecordParser& parser_;
  core::Messages& messages_;
};

}  // namespace zorvik::compose
