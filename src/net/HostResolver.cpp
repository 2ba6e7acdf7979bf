#include "net/HostResolver.h"

#include <netdb.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>

#include "net/ServerAddress.h"

namespace zorvik::net {
namespace {

// The name of the local address a connection to `server` leaves from. A
// datagram socket "connected" to the server picks that address without
// sending anything.
std::string localNameFor(const sockaddr_in& server) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return {};
  sockaddr_in local{};
  socklen_t length = sizeof local;
  const bool found = ::connect(fd, reinterpret_cast<const sockaddr*>(&server), sizeof server) == 0 &&
                     ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0;
  ::close(fd);
  char name[NI_MAXHOST] = {};
  if (!found || ::getnameinfo(reinterpret_cast<const sockaddr*>(&local), length, name, sizeof name, nullptr, 0,
                              NI_NAMEREQD) != 0)
    return {};
  return name;
}

}  // namespace

struct HostResolver::Pending {
  int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  std::mutex mutex;
  Answer answer;

  ~Pending() {
    if (fd >= 0) ::close(fd);
  }
  void finish(Answer found) {
    {
      const std::lock_guard lock(mutex);
      answer = std::move(found);
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(fd, &one, sizeof one);
  }
};

HostResolver::HostResolver(Lookup lookup) : lookup_(lookup ? std::move(lookup) : Lookup(serverAddress)) {}

HostResolver::~HostResolver() { cancel(); }

int HostResolver::start(const std::string& host, std::uint16_t port) {
  cancel();
  auto pending = std::make_shared<Pending>();
  if (pending->fd < 0) return -1;
  try {
    // The thread owns a share of the state: a resolver destroyed meanwhile
    // leaves it to the thread, which frees it when the lookup returns.
    std::thread([pending, lookup = lookup_, host, port] {
      Answer found{lookup(host, port), {}};
      if (found.address) found.localName = localNameFor(*found.address);
      pending->finish(std::move(found));
    }).detach();
  } catch (const std::system_error&) {
    return -1;
  }
  pending_ = std::move(pending);
  return pending_->fd;
}

HostResolver::Answer HostResolver::take() {
  if (!pending_) return {};
  std::uint64_t count = 0;
  [[maybe_unused]] const ssize_t read = ::read(pending_->fd, &count, sizeof count);
  Answer answer;
  {
    const std::lock_guard lock(pending_->mutex);
    answer = pending_->answer;
  }
  pending_.reset();
  return answer;
}

void HostResolver::cancel() { pending_.reset(); }

}  // namespace zorvik::net
