/// \file
/// The SMTP client: a state machine that sends a queue of mails over one
/// connection (HELO, then MAIL, RCPT, DATA and the data for each mail, RSET
/// after a refused one, QUIT when asked).
///
/// Secure connections and authentication, when the settings ask for them:
/// TLS from the connect on (SMTPS), or EHLO, STARTTLS, the TLS handshake and
/// EHLO again; then AUTH (PLAIN, LOGIN or CRAM-MD5) before the first mail.
/// A server that does not offer STARTTLS when it is required is left before
/// anything else is said (no downgrade), and PLAIN and LOGIN never go out
/// without TLS unless the user allowed it. Without either setting the
/// greeting stays HELO, as it always was. It is fed by the transport's
/// notifications (connected, bytes read, writable, failures, closed) and by
/// its two timers on the event loop, and it never blocks: the desktop client
/// runs it on the user-interface thread.
///
/// Timers: the send time-out runs while connecting and while bytes wait for
/// the socket; the receive time-out runs while the server owes a reply and
/// starts again whenever bytes arrive. A time-out of 0 seconds or less is
/// never started.
///
/// Each mail's data are its header file and its body file, sent byte for
/// byte in blocks of kBlockSize; the composition has already dot-stuffed the
/// body. The session adds only the end of the data: "." CR LF after data
/// that end with CR LF, CR LF "." CR LF otherwise, so the mail arrives
/// exactly as the files hold it.
///
/// A mail counts as sent only when the server answers 250 to the end of its
/// data. Failures show their numbered message through core::Messages and are
/// reported to the owner (SmtpSessionOwner) mail by mail.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "core/Messages.h"
#include "net/EventLoop.h"
#include "net/OutgoingMail.h"
#include "net/SmtpAuthenticator.h"
#include "net/SmtpCapabilities.h"
#include "net/SmtpDataSource.h"
#include "net/SmtpReply.h"
#include "net/SmtpReplyReader.h"
#include "net/SmtpSessionOwner.h"
#include "net/SmtpSettings.h"
#include "net/SmtpState.h"
#include "net/SmtpTransport.h"

namespace zorvik::net {

class SmtpSession final : private SmtpTransportListener {
public:
  /// Bytes of mail data handed to the socket in one write.
  static constexpr std::size_t kBlockSize = 64 * 1024;

  /// `loop`, `transport`, `messages` and `owner` must outlive the session.
  SmtpSession(EventLoop& loop, SmtpTransport& transport, core::Messages& messages, SmtpSessionOwner& owner,
              SmtpSettings settings);
  ~SmtpSession();
  SmtpSession(const SmtpSession&) = delete;
  SmtpSession& operator=(const SmtpSession&) = delete;

  /// Queues `mail`; connects first when no connection is open. False, after
  /// its message, when the mail is refused before anything is sent: no
  /// recipients (41005), or a sender or recipient that could smuggle text
  /// into the commands (41004); no notification follows for it then.
  /// More than kMaxRecipientsPerMail recipients is a caller's mistake
  /// (std::invalid_argument): split the mail with splitRecipients().
  bool send(OutgoingMail mail);
  /// Opens a connection without a mail: greeting, TLS and AUTH as the
  /// settings say. With quit() after it, this checks the server and the
  /// login. False when a connection is open already.
  bool open();
  /// Ends the connection with QUIT once every queued mail is done. Without a
  /// connection nothing happens.
  void quit();
  /// Closes at once and forgets the queue, without messages or
  /// notifications: the owner has given up.
  void abandon();

  SmtpState state() const { return state_; }
  /// An error ended (or is ending) the last connection.
  bool failed() const { return failed_; }
  /// Mails waiting behind the current one.
  std::size_t queued() const { return queue_.size(); }
  /// What the server answered to EHLO on this connection (empty after HELO).
  const SmtpCapabilities& capabilities() const { return capabilities_; }
  /// The connection runs over TLS.
  bool encrypted() const { return encrypted_; }
  /// Why TLS failed on the last connection, if it did.
  const std::optional<TlsFailure>& tlsFailure() const { return tlsFailure_; }
  /// AUTH succeeded on this connection.
  bool authenticated() const { return authenticated_; }

private:
  enum class Timer { Send, Receive };

  // Transport notifications.
  void onConnected(int error) override;
  void onReceived(std::string_view bytes) override;
  void onReadFailed(int error) override;
  void onWritable() override;
  void onWriteFailed(int error) override;
  void onPeerClosed() override;
  void onTlsReady() override;
  void onTlsFailed(const TlsFailure& failure) override;

  void setState(SmtpState next) { state_ = next; }
  /// Refuses, with its message, a mail whose envelope cannot be sent.
  bool envelopeIsSafe(const OutgoingMail& mail);
  void connect();
  /// Stops the timers and closes the socket and the files, without a word.
  void closeConnection();
  void handleReply(const SmtpReply& reply);
  void onGreeting(const SmtpReply& reply);
  void onHelo(const SmtpReply& reply);
  void onEhlo(const SmtpReply& reply);
  void onStartTls(const SmtpReply& reply);
  void onAuth(const SmtpReply& reply);
  void beginTls();
  void sendGreeting();
  void authenticate();
  void onMail(const SmtpReply& reply);
  void onRcpt(const SmtpReply& reply);
  void onData(const SmtpReply& reply);
  void onEndOfData(const SmtpReply& reply);
  void onQuit(const SmtpReply& reply);

  void sendCommand(SmtpState next, const std::string& command);
  bool sendBytes(std::string_view bytes);
  void startNextMail();
  bool sizeAllowed();
  void sendData();
  std::string endOfData() const;
  void finishMail(SmtpMailOutcome outcome);
  void skipMail();
  void failAndQuit(core::MessageNumber r, core::MessageArgs args);
  void failConnection(core::MessageNumber r, core::MessageArgs args = {});
  void failBeforeConnecting(core::MessageNumber r);
  void endConnection(bool failed);
  void postNextMail();

  void startTimer(Timer timer);
  void stopTimer(Timer timer);
  void onTimeout(Timer timer);

  EventLoop& loop_;
  SmtpTransport& transport_;
  core::Messages& messages_;
  SmtpSessionOwner& owner_;
  SmtpSettings settings_;

  SmtpState state_ = SmtpState::Idle;
  bool failed_ = false;
  bool quitRequested_ = false;
  std::deque<OutgoingMail> queue_;
  std::optional<OutgoingMail> current_;
  /// What the current mail is reported as if the connection ends now.
  SmtpMailOutcome currentOutcome_ = SmtpMailOutcome::NotSent;
  std::size_t recipient_ = 0;
  SmtpDataSource data_;
  /// The last two bytes of data sent, to choose the end of the data.
  char tail_[2] = {'\r', '\n'};
  SmtpReplyReader reader_;
  std::string hostName_;
  bool greeted_ = false;
  bool encrypted_ = false;
  bool authenticated_ = false;
  std::optional<TlsFailure> tlsFailure_;
  SmtpCapabilities capabilities_;
  std::optional<SmtpAuthenticator> authenticator_;
  EventLoop::TimerId sendTimer_ = 0;
  EventLoop::TimerId receiveTimer_ = 0;
  /// A step run from the loop rather than inside the owner's call.
  EventLoop::TimerId posted_ = 0;
};

}  // namespace zorvik::net
