/// \file
/// A TCP proxy on 127.0.0.1 in front of a real server that cuts the
/// connection at a chosen moment: when the client sends a line beginning
/// with a given command for the (n+1)-th time. Between a POP3 client and
/// Dovecot it breaks a receive after n whole mails, as a dropped line does.
/// Serves one connection.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace zorvik::test {

class CuttingProxy {
public:
  /// Forwards to `targetPort` of 127.0.0.1; cuts when the client sends
  /// `command` (e.g. "RETR ") for the (`allowed` + 1)-th time.
  CuttingProxy(std::uint16_t targetPort, std::string command, int allowed);
  ~CuttingProxy();
  CuttingProxy(const CuttingProxy&) = delete;
  CuttingProxy& operator=(const CuttingProxy&) = delete;

  std::uint16_t port() const { return port_; }
  /// The connection was cut (rather than ended by the client).
  bool cut() const { return cut_.load(); }

private:
  void run();
  void relay(int client, int server);

  std::uint16_t targetPort_;
  std::string command_;
  int allowed_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> cut_{false};
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace zorvik::test
