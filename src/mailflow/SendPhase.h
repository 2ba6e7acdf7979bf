/// \file
/// The send half of a send/receive command: every mail of the unsent tray,
/// in tray order, is composed into the header and body work files and handed
/// to one SMTP session, transaction by transaction:
///  - recipients in batches of at most 100, each batch sending the same files;
///  - a mail whose Cc or Bcc recipients get no attachments twice (see
///    net::TransmissionPlan), the second time composed again without attachments;
///  - a mail with a split size as message/partial fragments, each fragment
///    through every batch before the next fragment.
///
/// A mail counts as sent only when the server accepted every transaction of
/// it. The first refused transaction ends that mail (the session goes on with
/// the next one); a mail whose data went out but whose verdict never came is
/// not sent either, so a later send may deliver it twice but never loses it.
/// When the phase ends, the sent mails get the opened bit in the unsent tray
/// (a sent mail of the user's shows as read) and their indices are handed to
/// the caller, who places them (SentMailPlacement). The caller decides by the
/// indices of this run, never by that bit, which a user's reading also sets.
///
/// A mail that cannot be composed (a missing attachment, say: its message
/// has been shown) ends the phase: the connection is dropped and the mails
/// accepted so far stay sent.
///
/// Everything runs on the event loop's thread; `finished` is called once,
/// from the loop, never from inside start() or abort().
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "message/ComposedMail.h"
#include "message/MailRecordParser.h"
#include "message/MimeComposer.h"
#include "message/PartialSplitter.h"
#include "net/EventLoop.h"
#include "net/SmtpSession.h"
#include "net/SmtpSessionOwner.h"
#include "net/SmtpSettings.h"
#include "net/SmtpTransport.h"
#include "net/TransmissionPlan.h"
#include "store/StoreLocation.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::mailflow {

struct SendSettings {
  net::SmtpSettings smtp;
  std::string unsentTray;  ///< item 204
  std::string headerPath;  ///< the composed header work file (full path)
  std::string bodyPath;    ///< the composed body work file (full path)
  bool expandTextFiles = true;  ///< item 511

  /// From the personal settings; the work files lie in the work folder.
  static SendSettings fromSettings(const core::SettingsFile& settings, const store::StoreLocation& store);
};

struct SendResult {
  /// Record indices in the unsent tray of the mails the server accepted, in
  /// tray order.
  std::vector<std::uint32_t> sent;
  /// Mails of the unsent tray that the phase found.
  std::size_t found = 0;
  /// The connection or a composition failed (its message has been shown).
  bool failed = false;
  bool aborted = false;
};

class SendPhase final : private net::SmtpSessionOwner {
public:
  /// What the progress display shows: the mail being sent (1-based, of
  /// `mailCount`), its subject and the share of its data sent.
  using Progress = std::function<void(std::size_t mailNumber, std::size_t mailCount, const std::string& subject,
                                      int percent)>;
  using Finished = std::function<void(const SendResult&)>;

  /// Every reference must outlive the phase.
  SendPhase(net::EventLoop& loop, net::SmtpTransport& transport, store::StoreLocation store,
            const message::MailRecordParser& parser, core::Messages& messages, SendSettings settings);
  ~SendPhase();
  SendPhase(const SendPhase&) = delete;
  SendPhase& operator=(const SendPhase&) = delete;

  void setProgress(Progress progress) { progress_ = std::move(progress); }

  /// Starts sending the unsent tray. False when the phase is already running.
  bool start(Finished finished);
  /// Sends no further mail after the one in hand; the phase then ends as
  /// if the unsent tray had no more.
  void stopAfterCurrentMail() { stopping_ = true; }
  /// Drops the connection and ends the phase with what was sent so far.
  void abort();
  bool running() const { return running_; }

private:
  struct QueuedMail {
    std::uint32_t index = 0;
    bool ccWithoutAttachments = false;
    bool bccWithoutAttachments = false;
  };
  struct CurrentMail {
    QueuedMail queued;
    message::ComposedMail composed;
    std::vector<net::Transmission> plan;
    std::size_t nextTransmission = 0;
    std::optional<message::PartialSplitter> splitter;
    std::deque<net::OutgoingMail> batches;
    bool refused = false;
  };

  void smtpProgress(const net::OutgoingMail& mail, int percent) override;
  void smtpMailFinished(const net::OutgoingMail& mail, net::SmtpMailOutcome outcome) override;
  void smtpConnectionEnded(bool failed) override;

  bool collectMails();
  void advance();
  bool composeNextMail();
  bool compose(bool attachments, const std::string& headerPath, const std::string& bodyPath);
  bool startTransmission();
  bool nextFragment();
  void queueBatches(const std::vector<std::string>& recipients, const std::string& headerPath,
                    const std::string& bodyPath);
  void finishMail();
  void endSending();
  void failComposition();
  void writeSentFlags();
  void removeWorkFiles() const;
  void finish();
  void postFinish();

  net::EventLoop& loop_;
  store::StoreLocation store_;
  const message::MailRecordParser& parser_;
  core::Messages& messages_;
  SendSettings settings_;
  net::SmtpSession session_;
  Progress progress_;
  Finished finished_;

  bool running_ = false;
  bool stopping_ = false;
  bool sendDone_ = false;
  bool flagsWritten_ = false;
  std::vector<QueuedMail> mails_;
  std::size_t nextMail_ = 0;
  std::optional<CurrentMail> current_;
  SendResult result_;
  net::EventLoop::TimerId posted_ = 0;
};

}  // namespace zorvik::mailflow
