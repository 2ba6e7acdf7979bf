/// \file
/// Looks a server's host name up on a thread of its own, so that the thread
/// that owns the SMTP session's event loop (in the desktop client, the user
/// interface) never waits for a slow resolver. The answer is announced by a
/// descriptor that becomes readable, which any EventLoop watches like a
/// socket (poll here, QSocketNotifier in the desktop client).
///
/// Beside the server's address the thread finds this end's own host name
/// (the reverse lookup of the local address that leads to the server), which
/// SMTP's HELO names.
///
/// A lookup given up with cancel() (or by destroying the resolver) is left to
/// finish on its thread; its answer is dropped and its descriptor closed by
/// whichever side finishes last, so nothing waits for the resolver.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zorvik::net {

class HostResolver {
public:
  /// The blocking lookup run on the thread: serverAddress() by default;
  /// tests put a slow one in.
  using Lookup = std::function<std::optional<sockaddr_in>(const std::string& host, std::uint16_t port)>;

  explicit HostResolver(Lookup lookup = {});
  ~HostResolver();
  HostResolver(const HostResolver&) = delete;
  HostResolver& operator=(const HostResolver&) = delete;

  /// Starts looking `host` up (any lookup under way is given up). Returns
  /// the descriptor to watch for readability; -1 when no thread could be had.
  int start(const std::string& host, std::uint16_t port);
  struct Answer {
    std::optional<sockaddr_in> address;  // nothing when the name does not resolve
    std::string localName;               // empty when this end has no name
  };
  /// Once the descriptor is readable: what the lookup found.
  Answer take();
  /// Gives the lookup under way up.
  void cancel();

private:
  struct Pending;

  Lookup lookup_;
  std::shared_ptr<Pending> pending_;
};

}  // namespace zorvik::net
