#include "support/ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace zorvik::test {

ScriptStep send(std::string bytes) { return {ScriptStep::Kind::Send, std::move(bytes), {}}; }
ScriptStep expect(std::string line) { return {ScriptStep::Kind::Expect, std::move(line), {}}; }
ScriptStep pause(std::chrono::milliseconds duration) { return {ScriptStep::Kind::Pause, {}, duration}; }
ScriptStep close() { return {ScriptStep::Kind::Close, {}, {}}; }
ScriptStep readUntilClosed() { return {ScriptStep::Kind::ReadUntilClosed, {}, {}}; }

namespace {

constexpr int kReadTimeoutMs = 10000;

// Reads one line (up to LF) from `fd`, byte by byte: the server must not read
// ahead past what the script expects. False on close or time-out.
bool readLine(int fd, std::string& line) {
  line.clear();
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, kReadTimeoutMs) <= 0) return false;
    char c = 0;
    if (::recv(fd, &c, 1, 0) != 1) return false;
    if (c == '\n') break;
    line += c;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool matches(const std::string& pattern, const std::string& line) {
  if (!pattern.empty() && pattern.back() == '*')
    return line.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
  return pattern == line;
}

bool sendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

ScriptedServer::ScriptedServer(std::vector<ScriptStep> script, int connections)
    : script_(std::move(script)), connections_(connections) {
  listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 8) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("scripted server: cannot listen on 127.0.0.1");
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { run(); });
}

ScriptedServer::~ScriptedServer() {
  ::shutdown(listener_, SHUT_RDWR);
  ::close(listener_);
  if (thread_.joinable()) thread_.join();
}

void ScriptedServer::run() {
  for (int i = 0; i < connections_; ++i) {
    pollfd p{listener_, POLLIN, 0};
    if (poll(&p, 1, kReadTimeoutMs) <= 0) break;
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0) break;
    {
      const std::lock_guard lock(mutex_);
      ++accepted_;
    }
    const bool ok = play(client);
    ::close(client);
    if (!ok) break;
  }
  const std::lock_guard lock(mutex_);
  done_ = true;
}

bool ScriptedServer::play(int client) {
  for (const ScriptStep& step : script_) {
    switch (step.kind) {
      case ScriptStep::Kind::Send:
        if (!sendAll(client, step.text)) {
          const std::lock_guard lock(mutex_);
          if (failure_.empty()) failure_ = "client went away before: " + step.text;
          return false;
        }
        break;
      case ScriptStep::Kind::Expect: {
        std::string line;
        const bool got = readLine(client, line);
        const std::lock_guard lock(mutex_);
        if (got) received_.push_back(line);
        if (!got || !matches(step.text, line)) {
          if (failure_.empty()) failure_ = "expected \"" + step.text + "\", got " + (got ? "\"" + line + "\"" : "nothing");
          return false;
        }
        break;
      }
      case ScriptStep::Kind::Pause: std::this_thread::sleep_for(step.pause); break;
      case ScriptStep::Kind::Close: return true;
      case ScriptStep::Kind::ReadUntilClosed: {
        std::string line;
        while (readLine(client, line)) {
          const std::lock_guard lock(mutex_);
          received_.push_back(line);
        }
        break;
      }
    }
  }
  return true;
}

void ScriptedServer::wait(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    {
      const std::lock_guard lock(mutex_);
      if (done_) return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

bool ScriptedServer::succeeded() const {
  const std::lock_guard lock(mutex_);
  return failure_.empty();
}

std::string ScriptedServer::failure() const {
  const std::lock_guard lock(mutex_);
  return failure_;
}

std::vector<std::string> ScriptedServer::received() const {
  const std::lock_guard lock(mutex_);
  return received_;
}

int ScriptedServer::connectionsAccepted() const {
  const std::lock_guard lock(mutex_);
  return accepted_;
}

}  // namespace zorvik::test
