/// \file
/// A TCP server on 127.0.0.1 that plays a script: what it sends, what it
/// expects the client to send, pauses and closes. Protocol tests use it for
/// the faults a real server will not produce on request (no greeting, a reply
/// split inside a line, a close in the middle of a transfer, garbage).
///
///   ScriptedServer server({send("+OK ready\r\n"), expect("USER taro"), send("+OK\r\n"),
///                          expect("PASS pw"), close()});
///   ... connect to server.port() ...
///   server.wait();  EXPECT_TRUE(server.succeeded()) << server.failure();
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zorvik::test {

struct ScriptStep {
  enum class Kind { Send, Expect, Pause, Close, ReadUntilClosed };
  Kind kind;
  std::string text;                       // bytes to send, or the line expected
  std::chrono::milliseconds pause{0};
};

/// Sends `bytes` as they are (a reply split over several steps arrives in
/// several reads when a pause stands between them).
ScriptStep send(std::string bytes);
/// Reads one line from the client (CR LF stripped) and checks that it equals
/// `line`; a trailing "*" in `line` matches any rest.
ScriptStep expect(std::string line);
ScriptStep pause(std::chrono::milliseconds duration);
/// Closes the connection now.
ScriptStep close();
/// Reads and records everything until the client closes.
ScriptStep readUntilClosed();

class ScriptedServer {
public:
  /// Listens at once on an ephemeral port of 127.0.0.1 and plays `script`
  /// for each of `connections` clients in turn.
  explicit ScriptedServer(std::vector<ScriptStep> script, int connections = 1);
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  std::uint16_t port() const { return port_; }
  /// Waits until the script has been played (at most `limit`).
  void wait(std::chrono::milliseconds limit = std::chrono::seconds(10));
  bool succeeded() const;
  /// The first mismatch, empty when none.
  std::string failure() const;
  /// Every line the client sent, in order.
  std::vector<std::string> received() const;
  int connectionsAccepted() const;

private:
  void run();
  bool play(int client);

  std::vector<ScriptStep> script_;
  int connections_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::string failure_;
  std::vector<std::string> received_;
  int accepted_ = 0;
  bool done_ = false;
};

}  // namespace zorvik::test
