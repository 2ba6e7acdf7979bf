/// \file
/// How a second start reaches the instance already running with the same
/// settings file: a Unix domain socket per settings name in
/// "$XDG_RUNTIME_DIR" (else "/tmp", with the user id in the name). The
/// running instance listens; a second start connects, sends one request
/// line and reads "100" back:
///
///     mailto <address text>   open a new mail to the address
///     sendrecv                run a send/receive (the "all servers" command)
///     show                    bring the window to the front
///
/// A socket file nobody listens on (left by an instance that was killed) is
/// stale: connecting is refused, the file is removed and the start goes on
/// as the first instance. A request line is at most 4096 bytes; anything
/// longer, or a line that is none of the above, is answered and ignored.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::view {

struct HandOffRequest {
  enum class Kind { Mailto, SendReceive, Show };
  Kind kind = Kind::Show;
  std::string text;  // for Mailto (as sent, UTF-8)

  std::string line() const;
  static std::optional<HandOffRequest> parse(std::string_view line);
};

class InstanceHandOff {
public:
  static constexpr std::size_t kMaxLine = 4096;
  static constexpr std::string_view kAnswer = "100";

  /// The socket of settings name `settingsName` (UTF-8 in the file system).
  static std::string socketPath(std::string_view settingsName);
  /// The sockets of every instance of this user (for "sendrecv" to all).
  static std::vector<std::string> allSocketPaths();

  /// Hands `request` to the instance listening at `path`. True when it
  /// answered; false when none listens (a stale file is removed).
  static bool send(const std::string& path, const HandOffRequest& request,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5));

  /// Starts listening at `path`; empty when another live instance listens
  /// there or the socket cannot be made.
  static std::optional<InstanceHandOff> listen(const std::string& path);

  InstanceHandOff(InstanceHandOff&& other) noexcept;
  InstanceHandOff& operator=(InstanceHandOff&& other) noexcept;
  InstanceHandOff(const InstanceHandOff&) = delete;
  InstanceHandOff& operator=(const InstanceHandOff&) = delete;
  /// Stops listening and removes the socket file.
  ~InstanceHandOff();

  /// The listening descriptor, for the owner's event loop.
  int descriptor() const { return fd_; }
  /// Takes one waiting connection, reads its request and answers it. Empty
  /// when no connection waits or its request is not understood.
  std::optional<HandOffRequest> accept();

private:
  InstanceHandOff(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  void close();

  int fd_ = -1;
  std::string path_;
};

}  // namespace zorvik::view
