#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace zorvik::platform {
namespace {

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Reads what `fd` holds into `into`; closes it at the end of the data.
void readAvailable(int& fd, std::string& into) {
  char buffer[4096];
  while (fd >= 0) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      into.append(buffer, static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    closeFd(fd);
  }
}

bool isExecutable(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<std::string> ChildProcess::find(std::string_view program) {
  const std::string name(program);
  if (name.empty()) return std::nullopt;
  if (name.find('/') != std::string::npos) return isExecutable(name) ? std::optional(name) : std::nullopt;
  const char* path = std::getenv("PATH");
  const std::string folders = path ? path : "/usr/bin:/bin";
  for (std::size_t at = 0; at <= folders.size();) {
    const std::size_t colon = std::min(folders.find(':', at), folders.size());
    const std::string folder = folders.substr(at, colon - at);
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
    if (isExecutable(candidate)) return candidate;
    at = colon + 1;
  }
  return std::nullopt;
}

std::optional<ChildProcess> ChildProcess::start(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return std::nullopt;
  const auto program = find(arguments.front());
  if (!program) return std::nullopt;
  int output[2];
  int errors[2];
  if (::pipe2(output, O_CLOEXEC) != 0) return std::nullopt;
  if (::pipe2(errors, O_CLOEXEC) != 0) {
    ::close(output[0]);
    ::close(output[1]);
    return std::nullopt;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, output[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errors[1], 2);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int failed = ::posix_spawn(&pid, program->c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(output[1]);
  ::close(errors[1]);
  if (failed != 0) {
    ::close(output[0]);
    ::close(errors[0]);
    return std::nullopt;
  }
  ::fcntl(output[0], F_SETFL, O_NONBLOCK);
  ::fcntl(errors[0], F_SETFL, O_NONBLOCK);
  return ChildProcess(pid, output[0], errors[0]);
}

std::optional<ChildProcess::Result> ChildProcess::run(const std::vector<std::string>& arguments) {
  auto child = start(arguments);
  if (!child) return std::nullopt;
  return child->wait();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(other.pid_), output_(other.output_), errors_(other.errors_), result_(std::move(other.result_)),
      ended_(other.ended_) {
  other.pid_ = -1;
  other.output_ = -1;
  other.errors_ = -1;
  other.ended_ = true;
}

ChildProcess::~ChildProcess() {
  if (!ended_) stop();
  closeFd(output_);
  closeFd(errors_);
}

void ChildProcess::drain(bool block) {
  readAvailable(output_, result_.output);
  readAvailable(errors_, result_.errors);
  while (block && (output_ >= 0 || errors_ >= 0)) {
    pollfd fds[2] = {{output_, POLLIN, 0}, {errors_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) break;
    readAvailable(output_, result_.output);
    readAvailable(errors_, result_.errors);
  }
}

ChildProcess::Result ChildProcess::reap(int options) {
  int status = 0;
  pid_t done = -1;
  do {
    done = ::waitpid(pid_, &status, options);
  } while (done < 0 && errno == EINTR);
  if (done == 0) return result_;
  ended_ = true;
  result_.exitCode = done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result_;
}

bool ChildProcess::finished() {
  if (ended_) return true;
  drain(false);
  reap(WNOHANG);
  if (ended_) drain(true);
  return ended_;
}

ChildProcess::Result ChildProcess::wait() {
  if (ended_) return result_;
  drain(true);
  return reap(0);
}

ChildProcess::Result ChildProcess::stop() {
  if (ended_) return result_;
  ::kill(pid_, SIGTERM);
  return wait();
}

}  // namespace zorvik::platform
