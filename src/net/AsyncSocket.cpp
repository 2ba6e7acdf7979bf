#include "net/AsyncSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace zorvik::net {

namespace {

bool wouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

}  // namespace

AsyncSocket::AsyncSocket(EventLoop& loop, HostResolver::Lookup lookup) : loop_(loop), resolver_(std::move(lookup)) {}

AsyncSocket::~AsyncSocket() { close(); }

SmtpTransport::OpenResult AsyncSocket::open(const std::string& host, std::uint16_t port) {
  close();
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return OpenResult::NoSocket;
  const int on = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  port_ = port;
  resolverFd_ = resolver_.start(host, port);
  if (resolverFd_ < 0) {
    close();
    return OpenResult::ConnectFailed;
  }
  phase_ = Phase::Resolving;
  loop_.watchSocket(resolverFd_, resolverWatch_);
  return OpenResult::Connecting;
}

void AsyncSocket::stopResolving() {
  if (resolverFd_ >= 0) loop_.unwatchSocket(resolverFd_);
  resolverFd_ = -1;
}

void AsyncSocket::onResolved() {
  stopResolving();
  HostResolver::Answer answer = resolver_.take();
  const std::optional<sockaddr_in>& address = answer.address;
  localName_ = std::move(answer.localName);
  int error = 0;
  if (!address) error = EHOSTUNREACH;
  else if (::connect(fd_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 && errno != EINPROGRESS)
    error = errno;
  if (error != 0) {
    if (listener_) listener_->onConnected(error);
    return;
  }
  phase_ = Phase::Connecting;
  loop_.watchSocket(fd_, *this);
  loop_.setWriteInterest(fd_, true);
}

void AsyncSocket::close() {
  stopResolving();
  resolver_.cancel();
  if (fd_ >= 0) {
    if (phase_ != Phase::Resolving) loop_.unwatchSocket(fd_);
    if (tls_) tls_->shutdown();
    tls_.reset();
    ::close(fd_);
  }
  fd_ = -1;
  localName_.clear();
  phase_ = Phase::Closed;
  pending_.clear();
  pendingFrom_ = 0;
}

bool AsyncSocket::startTls(const std::string& host, const TlsSettings& settings) {
  if (phase_ != Phase::Open || hasPending()) return false;
  tls_ = std::make_unique<TlsStream>(fd_, host, settings);
  phase_ = Phase::Handshaking;
  // The first step runs from the loop, never inside the caller's call: the
  // socket is writable, so the report comes on the next turn.
  loop_.setWriteInterest(fd_, true);
  return true;
}

void AsyncSocket::continueHandshake() {
  switch (tls_->handshake()) {
    case TlsStream::Status::Done:
      phase_ = Phase::Open;
      updateWriteInterest();
      if (listener_) listener_->onTlsReady();
      return;
    case TlsStream::Status::WantRead: loop_.setWriteInterest(fd_, false); return;
    case TlsStream::Status::WantWrite: loop_.setWriteInterest(fd_, true); return;
    default: break;
  }
  loop_.setWriteInterest(fd_, false);
  const TlsFailure failure =
      tls_->failure() ? *tls_->failure() : TlsFailure{TlsFailure::Kind::Handshake, 0, "?", std::nullopt};
  if (listener_) listener_->onTlsFailed(failure);
}

long AsyncSocket::writeSome(std::string_view bytes, int& error) {
  if (tls_) {
    TlsStream::Status status = TlsStream::Status::Done;
    const std::size_t n = tls_->write(bytes, status);
    if (n > 0) return static_cast<long>(n);
    if (status == TlsStream::Status::WantRead || status == TlsStream::Status::WantWrite) return 0;
    error = EPIPE;
    return -1;
  }
  for (;;) {
    const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n >= 0) return static_cast<long>(n);
    if (errno == EINTR) continue;
    if (wouldBlock(errno)) return 0;
    error = errno;
    return -1;
  }
}

SmtpTransport::SendResult AsyncSocket::send(std::string_view bytes) {
  if (fd_ < 0) return SendResult::Failed;
  if (hasPending() || phase_ != Phase::Open) {
    pending_.append(bytes);
    return SendResult::Pending;
  }
  std::size_t sent = 0;
  int error = 0;
  while (sent < bytes.size()) {
    const long n = writeSome(bytes.substr(sent), error);
    if (n < 0) return SendResult::Failed;
    if (n == 0) break;
    sent += static_cast<std::size_t>(n);
  }
  if (sent == bytes.size()) return SendResult::Sent;
  pending_.assign(bytes.substr(sent));
  pendingFrom_ = 0;
  updateWriteInterest();
  return SendResult::Pending;
}

bool AsyncSocket::flushPending(int& error) {
  while (hasPending()) {
    const long n = writeSome(std::string_view(pending_).substr(pendingFrom_), error);
    if (n < 0) return false;
    if (n == 0) return true;
    pendingFrom_ += static_cast<std::size_t>(n);
  }
  pending_.clear();
  pendingFrom_ = 0;
  return true;
}

// Write readiness is asked for only while bytes wait for it (TLS may wait
// for the server's bytes instead, which the read report brings).
void AsyncSocket::updateWriteInterest() {
  const bool tlsWaitsToRead = tls_ && tls_->waitingFor() == TlsStream::Status::WantRead;
  loop_.setWriteInterest(fd_, hasPending() && !tlsWaitsToRead);
}

void AsyncSocket::finishConnect() {
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
  phase_ = Phase::Open;
  if (error == 0) updateWriteInterest();
  if (listener_) listener_->onConnected(error);
}

void AsyncSocket::onWritable() {
  if (phase_ == Phase::Connecting) return finishConnect();
  if (phase_ == Phase::Handshaking) return continueHandshake();
  int error = 0;
  if (!flushPending(error)) {
    if (listener_) listener_->onWriteFailed(error);
    return;
  }
  updateWriteInterest();
  if (hasPending()) return;
  if (listener_) listener_->onWritable();
}

void AsyncSocket::onReadable() {
  if (phase_ == Phase::Connecting) return finishConnect();
  if (phase_ == Phase::Handshaking) return continueHandshake();
  // Kept-back bytes that TLS could only write after reading go out first.
  if (tls_ && hasPending() && tls_->waitingFor() == TlsStream::Status::WantRead) return onWritable();
  readAvailable();
}

void AsyncSocket::readAvailable() {
  char buffer[kReadSize];
  const TlsStream* const stream = tls_.get();
  // With TLS one report may stand for more than one read: bytes decrypted
  // already are not seen by poll, so they are taken before returning.
  do {
    long n = 0;
    int error = 0;
    if (tls_) {
      TlsStream::Status status = TlsStream::Status::Done;
      n = static_cast<long>(tls_->read(buffer, sizeof buffer, status));
      if (n == 0 && (status == TlsStream::Status::WantRead || status == TlsStream::Status::WantWrite)) {
        updateWriteInterest();
        return;
      }
      if (n == 0 && status != TlsStream::Status::Closed) {
        n = -1;
        error = EPROTO;
      }
    } else {
      n = static_cast<long>(::recv(fd_, buffer, sizeof buffer, 0));
      if (n < 0 && (errno == EINTR || wouldBlock(errno))) return;
      error = errno;
    }
    if (!listener_) return;
    if (n < 0) return listener_->onReadFailed(error);
    if (n == 0) return listener_->onPeerClosed();
    listener_->onReceived(std::string_view(buffer, static_cast<std::size_t>(n)));
    // The listener may have closed the socket or started TLS meanwhile.
  } while (stream != nullptr && tls_.get() == stream && fd_ >= 0 && stream->buffered() > 0);
}

std::string AsyncSocket::localHostName() const {
  if (fd_ < 0) return {};
  // The name was looked up with the server's address, off this thread.
  if (!localName_.empty()) return localName_;
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return {};
  char dotted[INET_ADDRSTRLEN] = {};
  return ::inet_ntop(AF_INET, &address.sin_addr, dotted, sizeof dotted) ? dotted : "";
}

}  // namespace zorvik::net
