#include "net/PopSocket.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "net/ServerAddress.h"

namespace zorvik::net {
namespace {

constexpr int kWaitMs = 1000;

bool wouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

}  // namespace

PopSocket::~PopSocket() { close(); }

bool PopSocket::create() {
  close();
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return false;
  const int on = 1;
  ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  const int flags = ::fcntl(fd_, F_GETFL, 0);
  ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
  return true;
}

void PopSocket::close() {
  if (fd_ < 0) return;
  if (tls_) tls_->shutdown();
  tls_.reset();
  ::shutdown(fd_, SHUT_RDWR);
  ::close(fd_);
  fd_ = -1;
}

bool PopSocket::connect(std::string_view host, std::uint16_t port) {
  const auto address = serverAddress(host, port);
  if (!address) return false;
  // The result is left to the writable wait and connected(): a non-blocking
  // connect normally reports "in progress" here.
  ::connect(fd_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address);
  return true;
}

bool PopSocket::connected() {
  int error = 0;
  socklen_t length = sizeof error;
  return fd_ >= 0 && ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

int PopSocket::wait(short events) {
  if (fd_ < 0) return -1;
  if (tls_) {
    if ((events & POLLIN) && tls_->buffered() > 0) return 1;
    if (tls_->waitingFor() == TlsStream::Status::WantWrite) events = POLLOUT;
    if (tls_->waitingFor() == TlsStream::Status::WantRead) events = POLLIN;
  }
  pollfd p{fd_, events, 0};
  const int n = ::poll(&p, 1, kWaitMs);
  if (n < 0) return errno == EINTR ? 0 : -1;
  if (n == 0) return 0;
  // A closed or failed socket counts as ready: the following call reports it.
  return 1;
}

int PopSocket::waitReadable() { return wait(POLLIN); }
int PopSocket::waitWritable() { return wait(POLLOUT); }

long PopSocket::passedThroughTls(std::size_t moved, TlsStream::Status status) {
  wouldBlock_ = status == TlsStream::Status::WantRead || status == TlsStream::Status::WantWrite;
  if (moved > 0) return static_cast<long>(moved);
  return status == TlsStream::Status::Closed ? 0 : -1;
}

long PopSocket::receive(char* buffer, std::size_t size) {
  if (tls_) {
    TlsStream::Status status = TlsStream::Status::Done;
    const std::size_t n = tls_->read(buffer, size, status);
    return passedThroughTls(n, status);
  }
  const ssize_t n = ::recv(fd_, buffer, size, 0);
  wouldBlock_ = n < 0 && wouldBlock(errno);
  return static_cast<long>(n);
}

long PopSocket::send(std::string_view bytes) {
  if (tls_) {
    TlsStream::Status status = TlsStream::Status::Done;
    const std::size_t n = tls_->write(bytes, status);
    return passedThroughTls(n, status);
  }
  const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  wouldBlock_ = n < 0 && wouldBlock(errno);
  return static_cast<long>(n);
}

long PopSocket::bytesAvailable() {
  int count = 0;
  if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &count) != 0) return -1;
  // Encrypted bytes on the socket mean the server has begun answering as
  // much as decrypted ones do.
  return count + static_cast<long>(tls_ ? tls_->buffered() : 0);
}

void PopSocket::startTls(std::string_view host, const TlsSettings& settings) {
  tls_ = std::make_unique<TlsStream>(fd_, std::string(host), settings);
}

TlsStream::Status PopSocket::continueTls() {
  return tls_ ? tls_->handshake() : TlsStream::Status::Failed;
}

}  // namespace zorvik::net
