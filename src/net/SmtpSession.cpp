#include "net/SmtpSession.h"

#include <stdexcept>
#include <utility>

#include "net/SmtpAddress.h"

namespace zorvik::net {

using core::MessageNumber;

namespace {

constexpr int kReplyReady = 220;
constexpr int kReplyAuthenticated = 235;
constexpr int kReplyChallenge = 334;
constexpr int kReplyOk = 250;
constexpr int kReplyWillForward = 251;
constexpr int kReplyStartData = 354;
constexpr int kReplyClosing = 221;

}  // namespace

SmtpSession::SmtpSession(EventLoop& loop, SmtpTransport& transport, core::Messages& messages,
                         SmtpSessionOwner& owner, SmtpSettings settings)
    : loop_(loop), transport_(transport), messages_(messages), owner_(owner), settings_(std::move(settings)) {
  transport_.setListener(this);
}

SmtpSession::~SmtpSession() {
  stopTimer(Timer::Send);
  stopTimer(Timer::Receive);
  loop_.stopTimer(posted_);
  transport_.setListener(nullptr);
  transport_.close();
}

// --- what the owner calls -------------------------------------------------

bool SmtpSession::send(OutgoingMail mail) {
  if (mail.recipients.size() > kMaxRecipientsPerMail)
    throw std::invalid_argument("SmtpSession::send: more than 100 recipients; split them with splitRecipients()");
  mail.sender = std::string(trimAddress(mail.sender));
  if (!envelopeIsSafe(mail)) return false;
  queue_.push_back(std::move(mail));
  if (state_ == SmtpState::Idle) connect();
  if (state_ == SmtpState::Ready) postNextMail();
  return true;
}

bool SmtpSession::envelopeIsSafe(const OutgoingMail& mail) {
  if (mail.recipients.empty()) {
    messages_.error(MessageNumber::NoRecipients);
    return false;
  }
  // An empty sender is the null path "<>", which is harmless.
  if (!mail.sender.empty() && !isSafeEnvelopeAddress(mail.sender)) {
    messages_.error(MessageNumber::BadAddress, {mail.subject, visibleAddress(mail.sender)});
    return false;
  }
  for (const std::string& recipient : mail.recipients) {
    if (isSafeEnvelopeAddress(recipient)) continue;
    messages_.error(MessageNumber::BadAddress, {mail.subject, visibleAddress(recipient)});
    return false;
  }
  return true;
}

bool SmtpSession::open() {
  if (state_ != SmtpState::Idle) return false;
  connect();
  return true;
}

void SmtpSession::quit() {
  if (state_ == SmtpState::Idle || state_ == SmtpState::Closing) return;
  quitRequested_ = true;
  // Sent from the loop: a failing send must not report from inside quit().
  if (state_ == SmtpState::Ready) postNextMail();
}

void SmtpSession::abandon() {
  closeConnection();
  queue_.clear();
  current_.reset();
  setState(SmtpState::Idle);
}

void SmtpSession::closeConnection() {
  stopTimer(Timer::Send);
  stopTimer(Timer::Receive);
  loop_.stopTimer(posted_);
  posted_ = 0;
  transport_.close();
  data_.close();
  reader_.reset();
  quitRequested_ = false;
}

// --- connection -------------------------------------------------------------

void SmtpSession::connect() {
  failed_ = false;
  greeted_ = encrypted_ = authenticated_ = false;
  tlsFailure_.reset();
  capabilities_ = {};
  authenticator_.reset();
  reader_.reset();
  setState(SmtpState::Connecting);
  startTimer(Timer::Send);
  switch (transport_.open(settings_.host, settings_.port)) {
    case SmtpTransport::OpenResult::Connecting: return;
    case SmtpTransport::OpenResult::NoSocket: failBeforeConnecting(MessageNumber::SmtpNoSocket); return;
    case SmtpTransport::OpenResult::ConnectFailed: failBeforeConnecting(MessageNumber::SmtpConnectFailed); return;
  }
}

// The owner hears of the failure from the loop, as of every other end, not
// from inside its own send() call.
void SmtpSession::failBeforeConnecting(MessageNumber r) {
  stopTimer(Timer::Send);
  messages_.error(r);
  failed_ = true;
  setState(SmtpState::Closing);
  loop_.stopTimer(posted_);
  posted_ = loop_.startTimer(std::chrono::milliseconds(0), [this] {
    posted_ = 0;
    endConnection(true);
  });
}

void SmtpSession::onConnected(int error) {
  stopTimer(Timer::Send);
  if (state_ != SmtpState::Connecting) return;
  if (error != 0) {
    failConnection(MessageNumber::SmtpNotConnected);
    return;
  }
  if (settings_.tls.mode == TlsMode::Implicit) return beginTls();
  setState(SmtpState::Greeting);
  startTimer(Timer::Receive);
}

// The server owes its part of the handshake: the receive time-out runs.
void SmtpSession::beginTls() {
  setState(SmtpState::TlsHandshake);
  // Lines the server sent in the clear after agreeing to STARTTLS would
  // otherwise be read as its answers inside TLS.
  reader_.reset();
  if (!transport_.startTls(settings_.host, settings_.tls)) {
    onTlsFailed(TlsFailure{TlsFailure::Kind::Setup, 0, "no TLS", std::nullopt});
    return;
  }
  startTimer(Timer::Receive);
}

void SmtpSession::onTlsReady() {
  stopTimer(Timer::Receive);
  if (state_ != SmtpState::TlsHandshake) return;
  encrypted_ = true;
  if (greeted_) return sendGreeting();
  setState(SmtpState::Greeting);
  startTimer(Timer::Receive);
}

void SmtpSession::onTlsFailed(const TlsFailure& failure) {
  stopTimer(Timer::Receive);
  if (state_ != SmtpState::TlsHandshake) return;
  tlsFailure_ = failure;
  failure.report(messages_, settings_.host);
  endConnection(true);
}

void SmtpSession::failConnection(MessageNumber r, core::MessageArgs args) {
  messages_.error(r, args);
  endConnection(true);
}

void SmtpSession::endConnection(bool failed) {
  closeConnection();
  failed_ = failed;

  // While the owner hears of the mails this connection leaves unsent, a mail
  // it sends again only queues; it goes out on a new connection afterwards.
  setState(SmtpState::Closing);
  std::optional<OutgoingMail> current = std::exchange(current_, std::nullopt);
  std::deque<OutgoingMail> unsent = std::exchange(queue_, {});
  if (current) owner_.smtpMailFinished(*current, currentOutcome_);
  for (const OutgoingMail& mail : unsent) owner_.smtpMailFinished(mail, SmtpMailOutcome::NotSent);
  owner_.smtpConnectionEnded(failed);
  if (state_ != SmtpState::Closing) return;  // abandoned meanwhile
  setState(SmtpState::Idle);
  if (!queue_.empty()) connect();
}

void SmtpSession::onReadFailed(int /*error*/) { failConnection(MessageNumber::SmtpConnectionLost); }

void SmtpSession::onWriteFailed(int /*error*/) { failConnection(MessageNumber::SmtpWriteFailed); }

void SmtpSession::onPeerClosed() {
  switch (state_) {
    case SmtpState::Ready:
      // The server dropped a connection that had nothing to do (its idle
      // time-out); the next mail opens a new one.
      endConnection(false);
      return;
    case SmtpState::Quit:
      if (failed_) messages_.error(MessageNumber::SendFailed);
      endConnection(failed_);
      return;
    default:
      // Also after the end of the data: the mail is then reported
      // Unconfirmed, never Accepted, because the server's verdict is missing.
      failConnection(MessageNumber::SmtpDisconnected);
      return;
  }
}

// --- replies ---------------------------------------------------------------

void SmtpSession::onReceived(std::string_view bytes) {
  stopTimer(Timer::Receive);
  reader_.feed(bytes);
  while (const auto reply = reader_.next()) {
    handleReply(*reply);
    if (state_ == SmtpState::Idle || state_ == SmtpState::Closing) return;
  }
  // Part of a reply arrived: the server is alive, so the wait starts again
  // (without this a server that stops in the middle of a line would keep the
  // session waiting for ever).
  if (awaitsReply(state_) && receiveTimer_ == 0) startTimer(Timer::Receive);
}

void SmtpSession::handleReply(const SmtpReply& reply) {
  switch (state_) {
    case SmtpState::Greeting: onGreeting(reply); return;
    case SmtpState::Helo: onHelo(reply); return;
    case SmtpState::Ehlo: onEhlo(reply); return;
    case SmtpState::StartTls: onStartTls(reply); return;
    case SmtpState::Auth: onAuth(reply); return;
    case SmtpState::Mail: onMail(reply); return;
    case SmtpState::Rcpt: onRcpt(reply); return;
    case SmtpState::Data: onData(reply); return;
    case SmtpState::SendingData:
      // The server spoke in the middle of the data (a 421 or 554 before
      // giving up). QUIT would be read as data, so only closing ends it.
      failConnection(MessageNumber::SmtpUnexpectedReply, {reply.text});
      return;
    case SmtpState::EndOfData: onEndOfData(reply); return;
    case SmtpState::Rset:
      finishMail(currentOutcome_);
      if (state_ == SmtpState::Rset) startNextMail();
      return;
    case SmtpState::Quit: onQuit(reply); return;
    default:
      // Nothing was asked: a stray line is ignored.
      return;
  }
}

void SmtpSession::onGreeting(const SmtpReply& reply) {
  if (reply.code != kReplyReady) {
    failConnection(MessageNumber::SmtpGreetingRefused, {reply.text});
    return;
  }
  greeted_ = true;
  if (hostName_.empty()) hostName_ = settings_.heloName.empty() ? transport_.localHostName() : settings_.heloName;
  sendGreeting();
}

void SmtpSession::sendGreeting() {
  if (settings_.usesEhlo()) return sendCommand(SmtpState::Ehlo, "EHLO " + hostName_ + "\r\n");
  sendCommand(SmtpState::Helo, "HELO " + hostName_ + "\r\n");
}

void SmtpSession::onHelo(const SmtpReply& reply) {
  if (reply.code != kReplyOk) {
    failAndQuit(MessageNumber::SmtpHeloRefused, {reply.text});
    return;
  }
  startNextMail();
}

void SmtpSession::onEhlo(const SmtpReply& reply) {
  if (reply.code != kReplyOk) {
    failAndQuit(MessageNumber::SmtpHeloRefused, {reply.text});
    return;
  }
  // What the server said before TLS no longer counts once TLS runs.
  capabilities_ = SmtpCapabilities::parse(reply.text);
  if (settings_.tls.mode == TlsMode::StartTls && !encrypted_) {
    // Without the upgrade nothing more is said: no password, no mail.
    if (!capabilities_.startTls) return failAndQuit(MessageNumber::SmtpNoStartTls, {reply.text});
    return sendCommand(SmtpState::StartTls, "STARTTLS\r\n");
  }
  authenticate();
}

void SmtpSession::onStartTls(const SmtpReply& reply) {
  if (reply.code != kReplyReady) return failAndQuit(MessageNumber::SmtpNoStartTls, {reply.text});
  beginTls();
}

void SmtpSession::authenticate() {
  if (settings_.authMethod == SmtpAuthMethod::None || authenticated_) return startNextMail();
  const SmtpAuthChoice choice =
      chooseSmtpAuth(settings_.authMethod, capabilities_, encrypted_, settings_.allowPlainAuthInClear);
  switch (choice.outcome) {
    case SmtpAuthChoice::Outcome::NotOffered: return failAndQuit(MessageNumber::SmtpNoAuthMechanism, {capabilities_.authText()});
    case SmtpAuthChoice::Outcome::RefusedInClear:
      return failAndQuit(MessageNumber::SmtpPlainAuthInClear, {smtpAuthMechanismName(choice.mechanism)});
    case SmtpAuthChoice::Outcome::Use: break;
  }
  authenticator_.emplace(choice.mechanism, settings_.user, settings_.password);
  sendCommand(SmtpState::Auth, authenticator_->firstCommand());
}

void SmtpSession::onAuth(const SmtpReply& reply) {
  if (reply.code == kReplyChallenge) {
    const std::string_view challenge = std::string_view(reply.text).substr(std::min<std::size_t>(4, reply.text.size()));
    return sendCommand(SmtpState::Auth, authenticator_->answer(challenge));
  }
  authenticator_.reset();
  if (reply.code != kReplyAuthenticated) return failAndQuit(MessageNumber::SmtpAuthRefused, {reply.text});
  authenticated_ = true;
  startNextMail();
}

void SmtpSession::onMail(const SmtpReply& reply) {
  if (reply.code != kReplyOk) {
    failAndQuit(MessageNumber::SmtpMailRefused, {reply.text});
    return;
  }
  recipient_ = 0;
  sendCommand(SmtpState::Rcpt, "RCPT To:<" + current_->recipients[0] + ">\r\n");
}

void SmtpSession::onRcpt(const SmtpReply& reply) {
  if (reply.code != kReplyOk && reply.code != kReplyWillForward) {
    messages_.error(MessageNumber::BadAddress, {current_->subject, reply.text});
    skipMail();
    return;
  }
  ++recipient_;
  if (recipient_ < current_->recipients.size()) {
    sendCommand(SmtpState::Rcpt, "RCPT To:<" + current_->recipients[recipient_] + ">\r\n");
    return;
  }
  if (!sizeAllowed()) {
    skipMail();
    return;
  }
  sendCommand(SmtpState::Data, "DATA\r\n");
}

bool SmtpSession::sizeAllowed() {
  const std::uint64_t total = data_.totalSize();
  if (settings_.maxSizeKilobytes <= 0 || static_cast<std::uint64_t>(settings_.maxSizeKilobytes) * 1024 >= total)
    return true;
  return messages_.question(MessageNumber::MailTooLarge, {current_->subject, static_cast<std::int64_t>(total / 1024)});
}

void SmtpSession::onData(const SmtpReply& reply) {
  if (reply.code != kReplyStartData) {
    failAndQuit(MessageNumber::SmtpDataRefused, {reply.text});
    return;
  }
  setState(SmtpState::SendingData);
  tail_[0] = '\r';
  tail_[1] = '\n';
  sendData();
}

void SmtpSession::onEndOfData(const SmtpReply& reply) {
  if (reply.code != kReplyOk) {
    currentOutcome_ = SmtpMailOutcome::Refused;
    failAndQuit(MessageNumber::SmtpMailBodyRefused, {reply.text});
    return;
  }
  finishMail(SmtpMailOutcome::Accepted);
  if (state_ == SmtpState::EndOfData) startNextMail();
}

void SmtpSession::onQuit(const SmtpReply& reply) {
  if (reply.code != kReplyClosing) {
    messages_.error(MessageNumber::SmtpQuitFailed, {reply.text});
    failed_ = true;
  } else if (failed_) {
    messages_.error(MessageNumber::SendFailed);
  }
  endConnection(failed_);
}

// --- mails -----------------------------------------------------------------

void SmtpSession::postNextMail() {
  if (posted_ != 0) return;
  posted_ = loop_.startTimer(std::chrono::milliseconds(0), [this] {
    posted_ = 0;
    if (state_ == SmtpState::Ready) startNextMail();
  });
}

void SmtpSession::startNextMail() {
  while (!queue_.empty()) {
    current_ = std::move(queue_.front());
    queue_.pop_front();
    currentOutcome_ = SmtpMailOutcome::NotSent;
    setState(SmtpState::Mail);
    // Both files are opened before MAIL, so a missing file costs the server
    // nothing and the connection carries on with the next mail.
    if (data_.open(current_->headerPath, current_->bodyPath)) {
      sendCommand(SmtpState::Mail, "MAIL From:<" + current_->sender + ">\r\n");
      return;
    }
    messages_.error(MessageNumber::TemporaryFileNotOpened, {data_.failedPath()});
    finishMail(SmtpMailOutcome::Refused);
    if (state_ != SmtpState::Mail) return;  // abandoned meanwhile
  }
  setState(SmtpState::Ready);
  if (quitRequested_) sendCommand(SmtpState::Quit, "QUIT\r\n");
}

void SmtpSession::finishMail(SmtpMailOutcome outcome) {
  data_.close();
  const OutgoingMail mail = std::move(*current_);
  current_.reset();
  owner_.smtpMailFinished(mail, outcome);
}

void SmtpSession::skipMail() {
  currentOutcome_ = SmtpMailOutcome::Refused;
  data_.close();
  sendCommand(SmtpState::Rset, "RSET\r\n");
}

void SmtpSession::failAndQuit(MessageNumber r, core::MessageArgs args) {
  messages_.error(r, args);
  failed_ = true;
  sendCommand(SmtpState::Quit, "QUIT\r\n");
}

// --- sending -----------------------------------------------------------------

void SmtpSession::sendCommand(SmtpState next, const std::string& command) {
  setState(next);
  if (sendBytes(command)) startTimer(Timer::Receive);
}

bool SmtpSession::sendBytes(std::string_view bytes) {
  switch (transport_.send(bytes)) {
    case SmtpTransport::SendResult::Sent: return true;
    case SmtpTransport::SendResult::Pending:
      if (sendTimer_ == 0) startTimer(Timer::Send);
      return true;
    case SmtpTransport::SendResult::Failed: break;
  }
  failConnection(MessageNumber::SmtpWriteFailed);
  return false;
}

void SmtpSession::onWritable() {
  stopTimer(Timer::Send);
  if (state_ == SmtpState::SendingData) sendData();
}

std::string SmtpSession::endOfData() const {
  // The files normally end with CR LF; adding another would give every mail
  // an extra empty last line. Data that do not end a line get one first, so
  // the "." stands at the start of a line.
  return tail_[0] == '\r' && tail_[1] == '\n' ? ".\r\n" : "\r\n.\r\n";
}

void SmtpSession::sendData() {
  std::string block;
  while (state_ == SmtpState::SendingData && !transport_.hasPending()) {
    block.clear();
    if (!data_.readInto(block, kBlockSize)) {
      // A truncated mail must not be taken as complete, and inside DATA only
      // closing the connection makes the server drop it.
      failConnection(MessageNumber::TemporaryFileNotOpened, {data_.failedPath()});
      return;
    }
    if (block.size() >= 2) {
      tail_[0] = block[block.size() - 2];
      tail_[1] = block.back();
    } else if (block.size() == 1) {
      tail_[0] = tail_[1];
      tail_[1] = block[0];
    }
    const bool last = data_.atEnd();
    if (last) block += endOfData();
    if (!sendBytes(block)) return;
    if (last) {
      data_.close();
      setState(SmtpState::EndOfData);
      currentOutcome_ = SmtpMailOutcome::Unconfirmed;
      startTimer(Timer::Receive);
    }
    const std::uint64_t total = data_.totalSize();
    owner_.smtpProgress(*current_, total == 0 || last ? 100 : static_cast<int>(data_.bytesRead() * 100 / total));
  }
}

// --- timers ------------------------------------------------------------------

void SmtpSession::startTimer(Timer timer) {
  stopTimer(timer);
  const int seconds = timer == Timer::Send ? settings_.sendTimeoutSeconds : settings_.receiveTimeoutSeconds;
  if (seconds <= 0) return;
  EventLoop::TimerId& id = timer == Timer::Send ? sendTimer_ : receiveTimer_;
  id = loop_.startTimer(std::chrono::seconds(seconds), [this, timer] {
    (timer == Timer::Send ? sendTimer_ : receiveTimer_) = 0;
    onTimeout(timer);
  });
}

void SmtpSession::stopTimer(Timer timer) {
  EventLoop::TimerId& id = timer == Timer::Send ? sendTimer_ : receiveTimer_;
  if (id != 0) loop_.stopTimer(id);
  id = 0;
}

void SmtpSession::onTimeout(Timer timer) {
  failConnection(timer == Timer::Send ? MessageNumber::SmtpSendTimeout : MessageNumber::SmtpReceiveTimeout);
}

}  // namespace zorvik::net
