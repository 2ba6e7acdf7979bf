#include "net/ServerAddress.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <cstring>
#include <string>

namespace zorvik::net {
namespace {

std::optional<in_addr> lookUp(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return std::nullopt;
  sockaddr_in address{};
  std::memcpy(&address, found->ai_addr, sizeof address);
  ::freeaddrinfo(found);
  return address.sin_addr;
}

std::optional<in_addr> literal(const std::string& name) {
  in_addr address{};
  if (::inet_pton(AF_INET, name.c_str(), &address) != 1) return std::nullopt;
  return address;
}

}  // namespace

std::optional<sockaddr_in> serverAddress(std::string_view host, std::uint16_t port) {
  if (host.empty()) return std::nullopt;
  const std::string name(host);
  auto found = lookUp(name);
  if (!found) found = literal(name);
  if (!found) return std::nullopt;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr = *found;
  return address;
}

}  // namespace zorvik::net
