#include "support/SmtpSinkServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>
#include "support/LoopbackPort.h"

extern char** environ;

namespace zorvik::test {

namespace {

namespace fs = std::filesystem;

constexpr const char* kPython = "/usr/bin/python3";

// Starts `argv` with its output thrown away; -1 when it cannot be started.
pid_t spawnQuietly(std::vector<std::string> argv) {
  std::vector<char*> args;
  for (std::string& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int result = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return result == 0 ? pid : -1;
}

// The per-process counter "Q<n>" in a maildir file name: the order in which
// the server stored its messages (the time part is not fine enough).
long storeCount(const std::string& name) {
  static const std::regex pattern("Q([0-9]+)");
  std::smatch match;
  return std::regex_search(name, match, pattern) ? std::stol(match[1]) : 0;
}

}  // namespace

std::string SmtpSinkServer::unavailableReason() {
  static const std::string reason = [] {
    if (::access(kPython, X_OK) != 0) return std::string(kPython) + " is not installed";
    const pid_t pid = spawnQuietly({kPython, "-c", "import aiosmtpd.handlers"});
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
      return std::string("python3 -m aiosmtpd is not available (install python3-aiosmtpd)");
    return std::string();
  }();
  return reason;
}

SmtpSinkServer::SmtpSinkServer(const std::string& directory) : directory_(directory) {
  for (const char* sub : {"tmp", "new", "cur"}) fs::create_directories(fs::path(directory_) / sub);
  // The free port may be taken between the probe and the server's bind;
  // a server that dies at once is started again on another port.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (start()) return;
  }
  throw std::runtime_error("aiosmtpd did not start on 127.0.0.1");
}

SmtpSinkServer::~SmtpSinkServer() { stop(); }

bool SmtpSinkServer::start() {
  port_ = test::freeLoopbackPort();
  if (port_ == 0) return false;
  pid_ = spawnQuietly({kPython, "-m", "aiosmtpd", "-n", "-l", "127.0.0.1:" + std::to_string(port_), "-c",
                       "aiosmtpd.handlers.Mailbox", directory_});
  if (pid_ < 0) return false;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    if (test::acceptsOnLoopback(port_)) return true;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  stop();
  return false;
}

void SmtpSinkServer::stop() {
  if (pid_ < 0) return;
  ::kill(pid_, SIGTERM);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  int status = 0;
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= end) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  pid_ = -1;
}

std::vector<std::string> SmtpSinkServer::messages() const {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fs::path(directory_) / "new")) files.push_back(entry.path());
  std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
    return storeCount(a.filename().string()) < storeCount(b.filename().string());
  });
  std::vector<std::string> result;
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    result.push_back(text.str());
  }
  return result;
}

std::string SmtpSinkServer::withoutServerHeaders(const std::string& message) {
  std::string result;
  std::size_t at = 0;
  bool inHeader = true;
  while (at < message.size()) {
    const std::size_t end = message.find('\n', at);
    const std::size_t next = end == std::string::npos ? message.size() : end + 1;
    const std::string line = message.substr(at, next - at);
    if (inHeader && (line == "\n" || line == "\r\n")) inHeader = false;
    const bool added = inHeader && (line.rfind("X-Peer:", 0) == 0 || line.rfind("X-MailFrom:", 0) == 0 ||
                                    line.rfind("X-RcptTo:", 0) == 0);
    if (!added) result += line;
    at = next;
  }
  return result;
}

std::string SmtpSinkServer::crlfLines(const std::string& text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) result += '\r';
    result += text[i];
  }
  return result;
}

std::string SmtpSinkServer::headerValue(const std::string& message, const std::string& name) {
  const std::string prefix = name + ": ";
  std::size_t at = message.rfind(prefix, 0) == 0 ? 0 : message.find("\n" + prefix);
  if (at == std::string::npos) return {};
  if (message[at] == '\n') ++at;
  const std::size_t end = message.find('\n', at);
  std::string value = message.substr(at + prefix.size(), end == std::string::npos ? std::string::npos : end - at - prefix.size());
  if (!value.empty() && value.back() == '\r') value.pop_back();
  return value;
}

}  // namespace zorvik::test
