#include "net/PopConnection.h"

#include <algorithm>

namespace zorvik::net {

using core::MessageNumber;

namespace {

constexpr int kGreetingStep = 50;
constexpr int kTlsStep = 70;

// A server that accepts the connection but never greets is tried this
// often (reconnecting after each wait) before the receive gives up: a cron
// job must not hang on it for ever.
constexpr int kGreetingAttempts = 3;

}  // namespace

PopConnection::PopConnection(PopTransport& transport, core::Messages& messages, const std::atomic<bool>& abort,
                             std::atomic<int>& zeroReads, std::size_t lineLimit)
    : transport_(transport), messages_(messages), abort_(abort), zeroReads_(zeroReads), reader_(lineLimit) {}

void PopConnection::setTimeouts(int sendSeconds, int receiveSeconds) {
  // A countdown that starts at zero or below would never reach zero and
  // wait forever.
  sendSeconds_ = std::max(1, sendSeconds);
  receiveSeconds_ = std::max(1, receiveSeconds);
}

bool PopConnection::fail(std::optional<MessageNumber> message) {
  error_ = true;
  if (message) messages_.error(*message);
  return false;
}

PopConnection::Wait PopConnection::waitUntil(bool readable, int seconds) {
  for (int left = seconds; left > 0; --left) {
    if (abort_.load()) return Wait::Aborted;
    // An error counts as ready: the receive or send that follows reports it.
    if ((readable ? transport_.waitReadable() : transport_.waitWritable()) != 0) return Wait::Ready;
  }
  return abort_.load() ? Wait::Aborted : Wait::TimedOut;
}

bool PopConnection::open(std::string_view host, std::uint16_t port, std::string& greeting) {
  host_ = std::string(host);
  tlsFailure_.reset();
  error_ = false;
  overflowed_ = false;
  reconnects_ = 0;
  for (;;) {
    reader_.clear();
    if (!transport_.create()) return fail(MessageNumber::PopNoSocket);
    if (!transport_.connect(host, port)) return fail(MessageNumber::PopCannotConnect);
    switch (waitUntil(false, sendSeconds_)) {
      case Wait::Aborted: return fail(std::nullopt);
      case Wait::TimedOut: return fail(MessageNumber::PopCannotConnect);
      case Wait::Ready: break;
    }
    if (!transport_.connected()) return fail(MessageNumber::PopCannotConnect);
    if (tls_.mode == TlsMode::Implicit && !startTls()) return false;
    switch (waitUntil(true, receiveSeconds_)) {
      case Wait::Aborted: return fail(std::nullopt);
      case Wait::Ready: return readReply(kGreetingStep, greeting);
      case Wait::TimedOut: break;
    }
    transport_.close();
    if (++reconnects_ >= kGreetingAttempts) {
      error_ = true;
      messages_.error(MessageNumber::PopNoGreeting,
                      {std::string(host), std::to_string(port), std::to_string(receiveSeconds_)});
      return false;
    }
  }
}

bool PopConnection::readReply(int stepCode, std::string& lines) {
  for (;;) {
    switch (waitUntil(true, receiveSeconds_)) {
      case Wait::Aborted: return fail(std::nullopt);
      case Wait::TimedOut:
        error_ = true;
        messages_.error(MessageNumber::PopReceiveTimeout, {stepCode});
        return false;
      case Wait::Ready: break;
    }
    const long got = transport_.receive(chunk_.data(), chunk_.size());
    if (got < 0 && transport_.lastCallWouldBlock()) {
      stepCode += 1000;
      continue;
    }
    if (got < 0) return fail(MessageNumber::PopReceiveError);
    if (got == 0) {
      if (zeroReads_.load() < kSilentZeroReads) {
        ++zeroReads_;
        return fail(std::nullopt);
      }
      return fail(MessageNumber::PopConnectionGone);
    }
    zeroReads_ = 0;
    switch (reader_.feed(std::string_view(chunk_.data(), static_cast<std::size_t>(got)), lines)) {
      case PopReplyReader::Result::Lines: return true;
      case PopReplyReader::Result::Partial: stepCode += 100; continue;
      case PopReplyReader::Result::Overflow:
        // The caller knows the step and reports it with a clear text.
        overflowed_ = true;
        return fail(std::nullopt);
    }
  }
}

bool PopConnection::sendCommand(std::string_view bytes) {
  while (!bytes.empty()) {
    switch (waitUntil(false, sendSeconds_)) {
      case Wait::Aborted: return fail(std::nullopt);
      case Wait::TimedOut: return fail(MessageNumber::PopSendTimeout);
      case Wait::Ready: break;
    }
    const long sent = transport_.send(bytes);
    if (sent < 0 && transport_.lastCallWouldBlock()) continue;
    if (sent < 0) return fail(MessageNumber::PopSendError);
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

bool PopConnection::startTls() {
  reader_.clear();
  transport_.startTls(host_, tls_);
  for (;;) {
    const TlsStream::Status step = transport_.continueTls();
    if (step == TlsStream::Status::Done) return true;
    if (step != TlsStream::Status::WantRead && step != TlsStream::Status::WantWrite) return failTls();
    const bool readable = step == TlsStream::Status::WantRead;
    switch (waitUntil(readable, readable ? receiveSeconds_ : sendSeconds_)) {
      case Wait::Aborted: return fail(std::nullopt);
      case Wait::Ready: continue;
      case Wait::TimedOut:
        if (!readable) return fail(MessageNumber::PopSendTimeout);
        error_ = true;
        messages_.error(MessageNumber::PopReceiveTimeout, {kTlsStep});
        return false;
    }
  }
}

bool PopConnection::failTls() {
  const TlsStream* tls = transport_.tls();
  tlsFailure_ = tls != nullptr && tls->failure() ? *tls->failure()
                                                 : TlsFailure{TlsFailure::Kind::Setup, 0, "no TLS", std::nullopt};
  tlsFailure_->report(messages_, host_);
  return fail(std::nullopt);
}

long PopConnection::bytesWaiting() {
  // Part of a line already read counts too: the server has begun answering.
  return std::max(0L, transport_.bytesAvailable()) + static_cast<long>(reader_.carried());
}

void PopConnection::close() {
  transport_.close();
  reader_.clear();
}

}  // namespace zorvik::net
