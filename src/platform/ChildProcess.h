/// \file
/// Another program run as a child process, with its standard output and
/// error captured: how Zorvik drives system tools (NetworkManager's nmcli
/// for dial-up). The program is looked up on PATH; its arguments are passed
/// as they are, with no shell in between, so nothing in them is ever taken
/// for a command. Standard input is /dev/null.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::platform {

class ChildProcess {
public:
  struct Result {
    int exitCode = -1;  ///< -1 when it was ended by a signal
    std::string output;
    std::string errors;
  };

  /// Starts `arguments[0]` with `arguments`; empty when the program cannot
  /// be found or started.
  static std::optional<ChildProcess> start(const std::vector<std::string>& arguments);
  /// Starts it and waits for its end.
  static std::optional<Result> run(const std::vector<std::string>& arguments);
  /// The path of `program` on PATH (or `program` itself when it holds a
  /// "/" and can be run); empty when there is none.
  static std::optional<std::string> find(std::string_view program);

  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&&) = delete;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  /// Ends a child still running (see stop()).
  ~ChildProcess();

  /// Whether it has ended; takes in what it wrote meanwhile, never blocks.
  bool finished();
  /// Waits for the end.
  Result wait();
  /// Sends SIGTERM and waits for the end.
  Result stop();

private:
  ChildProcess(pid_t pid, int output, int errors) : pid_(pid), output_(output), errors_(errors) {}
  /// Reads what is there; with `block`, until both pipes are closed.
  void drain(bool block);
  Result reap(int options);

  pid_t pid_ = -1;
  int output_ = -1;
  int errors_ = -1;
  Result result_;
  bool ended_ = false;
};

}  // namespace zorvik::platform
