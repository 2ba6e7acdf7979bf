#include "net/AsyncSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "net/ServerAddress.h"

namespace zorvik::net {

namespace {

bool wouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

}  // namespace

AsyncSocket::AsyncSocket(EventLoop& loop) : loop_(loop) {}

AsyncSocket::~AsyncSocket() { close(); }

SmtpTransport::OpenResult AsyncSocket::open(const std::string& host, std::uint16_t port) {
  close();
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return OpenResult::NoSocket;
  const int on = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);

  const auto address = serverAddress(host, port);
  if (!address ||
      (::connect(fd_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 && errno != EINPROGRESS)) {
    close();
    return OpenResult::ConnectFailed;
  }
  connecting_ = true;
  loop_.watchSocket(fd_, *this);
  loop_.setWriteInterest(fd_, true);
  return OpenResult::Connecting;
}

void AsyncSocket::close() {
  if (fd_ < 0) return;
  loop_.unwatchSocket(fd_);
  ::close(fd_);
  fd_ = -1;
  connecting_ = false;
  pending_.clear();
  pendingFrom_ = 0;
}

SmtpTransport::SendResult AsyncSocket::send(std::string_view bytes) {
  if (fd_ < 0) return SendResult::Failed;
  if (hasPending() || connecting_) {
    pending_.append(bytes);
    return SendResult::Pending;
  }
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && !wouldBlock(errno)) return SendResult::Failed;
    if (n < 0) break;
    sent += static_cast<std::size_t>(n);
  }
  if (sent == bytes.size()) return SendResult::Sent;
  pending_.assign(bytes.substr(sent));
  pendingFrom_ = 0;
  loop_.setWriteInterest(fd_, true);
  return SendResult::Pending;
}

bool AsyncSocket::flushPending(int& error) {
  while (hasPending()) {
    const ssize_t n = ::send(fd_, pending_.data() + pendingFrom_, pending_.size() - pendingFrom_, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && wouldBlock(errno)) return true;
    if (n < 0) {
      error = errno;
      return false;
    }
    pendingFrom_ += static_cast<std::size_t>(n);
  }
  pending_.clear();
  pendingFrom_ = 0;
  return true;
}

void AsyncSocket::finishConnect() {
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
  connecting_ = false;
  if (error == 0 && !hasPending()) loop_.setWriteInterest(fd_, false);
  if (listener_) listener_->onConnected(error);
}

void AsyncSocket::onWritable() {
  if (connecting_) {
    finishConnect();
    return;
  }
  int error = 0;
  if (!flushPending(error)) {
    if (listener_) listener_->onWriteFailed(error);
    return;
  }
  if (hasPending()) return;
  loop_.setWriteInterest(fd_, false);
  if (listener_) listener_->onWritable();
}

void AsyncSocket::onReadable() {
  if (connecting_) {
    finishConnect();
    return;
  }
  char buffer[kReadSize];
  const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
  if (n < 0 && (errno == EINTR || wouldBlock(errno))) return;
  if (!listener_) return;
  if (n < 0) {
    listener_->onReadFailed(errno);
    return;
  }
  if (n == 0) {
    listener_->onPeerClosed();
    return;
  }
  listener_->onReceived(std::string_view(buffer, static_cast<std::size_t>(n)));
}

std::string AsyncSocket::localHostName() const {
  if (fd_ < 0) return {};
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return {};
  char name[NI_MAXHOST] = {};
  if (::getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, name, sizeof name, nullptr, 0,
                    NI_NAMEREQD) == 0)
    return name;
  char dotted[INET_ADDRSTRLEN] = {};
  return ::inet_ntop(AF_INET, &address.sin_addr, dotted, sizeof dotted) ? dotted : "";
}

}  // namespace zorvik::net
