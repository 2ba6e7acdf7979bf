/// \file
/// A TCP proxy on 127.0.0.1 in front of a real server that cuts the
/// connection at a chosen moment: after the server's answers to the first n
/// lines beginning with a given command, once the client has sent that
/// command an (n+1)-th time. Between a POP3 client and Dovecot it breaks a
/// receive after n whole mails, as a dropped line does, whether the client
/// asks for one mail at a time or pipelines its RETR commands (the commands
/// beyond the n-th never reach the server). The answers are counted by
/// their terminator line "."; serves one connection.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace zorvik::test {

class CuttingProxy {
public:
  /// Forwards to `targetPort` of 127.0.0.1; cuts once the client has sent
  /// `command` (e.g. "RETR ") for the (`allowed` + 1)-th time and the
  /// multi-line answers to the first `allowed` have been passed on.
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
