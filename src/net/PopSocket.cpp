#include "net/PopSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace zorvik::net {
namespace {

constexpr int kWaitMs = 1000;

// The name is looked up first and only then read as a dotted quad, so a
// resolver that knows nothing of an address literal still lets it through.
bool resolve(std::string_view host, in_addr& address) {
  const std::string name(host);
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) == 0 && found != nullptr) {
    address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return true;
  }
  return ::inet_pton(AF_INET, name.c_str(), &address) == 1;
}

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
  ::shutdown(fd_, SHUT_RDWR);
  ::close(fd_);
  fd_ = -1;
}

bool PopSocket::connect(std::string_view host, std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (!resolve(host, address.sin_addr)) return false;
  // The result is left to the writable wait and connected(): a non-blocking
  // connect normally reports "in progress" here.
  ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  return true;
}

bool PopSocket::connected() {
  int error = 0;
  socklen_t length = sizeof error;
  return fd_ >= 0 && ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

int PopSocket::wait(short events) {
  if (fd_ < 0) return -1;
  pollfd p{fd_, events, 0};
  const int n = ::poll(&p, 1, kWaitMs);
  if (n < 0) return errno == EINTR ? 0 : -1;
  if (n == 0) return 0;
  // A closed or failed socket counts as ready: the following call reports it.
  return 1;
}

int PopSocket::waitReadable() { return wait(POLLIN); }
int PopSocket::waitWritable() { return wait(POLLOUT); }

long PopSocket::receive(char* buffer, std::size_t size) {
  const ssize_t n = ::recv(fd_, buffer, size, 0);
  wouldBlock_ = n < 0 && wouldBlock(errno);
  return static_cast<long>(n);
}

long PopSocket::send(std::string_view bytes) {
  const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  wouldBlock_ = n < 0 && wouldBlock(errno);
  return static_cast<long>(n);
}

long PopSocket::bytesAvailable() {
  int count = 0;
  if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &count) != 0) return -1;
  return count;
}

}  // namespace zorvik::net
