#include "support/CuttingProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <string>
#include <string_view>

namespace zorvik::test {
namespace {

sockaddr_in loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

bool sendAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

CuttingProxy::CuttingProxy(std::uint16_t targetPort, std::string command, int allowed)
    : targetPort_(targetPort), command_(std::move(command)), allowed_(allowed) {
  listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = loopback(0);
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 1) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    return;
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { run(); });
}

CuttingProxy::~CuttingProxy() {
  stopping_ = true;
  if (listener_ >= 0) ::shutdown(listener_, SHUT_RDWR);
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) ::close(listener_);
}

void CuttingProxy::run() {
  pollfd waiting{listener_, POLLIN, 0};
  while (!stopping_ && ::poll(&waiting, 1, 200) == 0) {
  }
  if (stopping_) return;
  const int client = ::accept(listener_, nullptr, nullptr);
  if (client < 0) return;
  const int server = ::socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in target = loopback(targetPort_);
  if (server >= 0 && ::connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0)
    relay(client, server);
  ::close(client);
  if (server >= 0) ::close(server);
}

// The client's lines are scanned as they pass; from the one that would
// start the command once too often on, nothing more reaches the server. The
// server's answers to the commands let through are passed on whole, counted
// by their terminator, and then both sides are closed.
void CuttingProxy::relay(int client, int server) {
  static constexpr std::string_view kTerminator = "\r\n.\r\n";
  std::array<pollfd, 2> sides{{{client, POLLIN, 0}, {server, POLLIN, 0}}};
  std::array<char, 65536> buffer{};
  std::string line;
  std::string recent;  // the server's last bytes, for a terminator split across reads
  int seen = 0;
  int answered = 0;
  bool holding = false;
  while (!stopping_) {
    if (holding && answered >= allowed_) {
      cut_ = true;
      return;
    }
    if (::poll(sides.data(), sides.size(), 200) < 0) return;
    if (sides[1].revents != 0) {
      const ssize_t n = ::recv(server, buffer.data(), buffer.size(), 0);
      if (n <= 0 || !sendAll(client, buffer.data(), static_cast<std::size_t>(n))) return;
      if (seen > 0) {
        recent.append(buffer.data(), static_cast<std::size_t>(n));
        for (std::size_t at = recent.find(kTerminator); at != std::string::npos; at = recent.find(kTerminator, at + 3))
          ++answered;
        recent.erase(0, recent.size() > 4 ? recent.size() - 4 : 0);
      }
    }
    if (sides[0].revents == 0) continue;
    const ssize_t n = ::recv(client, buffer.data(), buffer.size(), 0);
    if (n <= 0) return;
    for (ssize_t i = 0; i < n && !holding; ++i) {
      line += buffer[static_cast<std::size_t>(i)];
      if (buffer[static_cast<std::size_t>(i)] != '\n') continue;
      if (line.rfind(command_, 0) == 0 && ++seen > allowed_) {
        holding = true;
        break;
      }
      if (!sendAll(server, line.data(), line.size())) return;
      line.clear();
    }
  }
}

}  // namespace zorvik::test
