/// \file
/// The receive command as zorvik-cli and a send/receive without dialog run
/// it, on the calling thread:
///  1. a work file still holding mails of an earlier receive stops the
///     command with message 44110 (the next start offers to recover it);
///  2. the receive phase fetches into the new-mail work file;
///  3. the work file's mails are appended to the new-mail tray and the work
///     file deleted; fragments of split mails are joined. When appending
///     fails, message 44112 is shown and the work file is kept for the
///     next start.
/// Mails received before an error or a full disk are stored all the same.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "core/Progress.h"
#include "message/DecodeWarning.h"
#include "net/ReceivePhase.h"
#include "store/StoreLocation.h"
#include "store/WorkFileAppender.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::net {

struct ReceiveOutcome {
  ReceiveResult phase;
  /// What went into the new-mail tray; empty when nothing was moved.
  std::optional<store::WorkFileResult> stored;
  /// The command did all it should (no error, no full disk, nothing left behind).
  bool ok = false;
  /// The decoding warnings of the stored mails, for the caller to show
  /// (see WorkFileSink::warnings()).
  std::vector<message::DecodeWarning> warnings;
};

class ReceiveCommand {
public:
  static constexpr int kWorkFileLeftMessage = 44110;
  static constexpr int kMoveFailedMessage = 44112;

  /// `settings` with its paths resolved; everything must outlive the command.
  ReceiveCommand(const core::SettingsFile& settings, core::Messages& messages, core::Progress& progress);

  ReceiveOutcome run();

  /// Appends the work file to `trayName`, the new-mail tray when empty
  /// (44112 when that fails: the work file stays for the start-up
  /// recovery), and joins the split mails of that tray.
  static std::optional<store::WorkFileResult> moveWorkFile(const core::SettingsFile& settings,
                                                           core::Messages& messages,
                                                           const std::string& trayName = {});
  /// Whether the work file holds mails from an earlier receive.
  static bool workFileHoldsMail(const core::SettingsFile& settings);

private:
  const core::SettingsFile& settings_;
  core::Messages& messages_;
  core::Progress& progress_;
};

}  // namespace zorvik::net
