#include "view/InstanceHandOff.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

namespace zorvik::view {
namespace {

constexpr std::string_view kPrefix = "zorvik-";
constexpr std::string_view kSuffix = ".sock";

std::string runtimeDirectory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime == '/') return runtime;
  return "/tmp";
}

// The user id keeps users apart in the shared /tmp.
std::string userPart() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime == '/') return {};
  return std::to_string(::getuid()) + "-";
}

bool fillAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// Connects to `path`; -1 with errno set when nobody listens.
int connectTo(const std::string& path) {
  sockaddr_un address{};
  if (!fillAddress(path, address)) {
    errno = ENAMETOOLONG;
    return -1;
  }
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

bool waitFor(int fd, short events, std::chrono::milliseconds timeout) {
  pollfd entry{fd, events, 0};
  return ::poll(&entry, 1, static_cast<int>(timeout.count())) == 1;
}

// One line (without its end) from `fd`, at most kMaxLine bytes.
std::optional<std::string> readLine(int fd, std::chrono::milliseconds timeout) {
  std::string line;
  char byte = 0;
  while (line.size() <= InstanceHandOff::kMaxLine) {
    if (!waitFor(fd, POLLIN, timeout)) return std::nullopt;
    const ssize_t got = ::read(fd, &byte, 1);
    if (got <= 0) return line.empty() ? std::nullopt : std::optional(line);
    if (byte == '\n') return line;
    line += byte;
  }
  return std::nullopt;
}

bool writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

}  // namespace

std::string HandOffRequest::line() const {
  switch (kind) {
    case Kind::Mailto: return "mailto " + text;
    case Kind::SendReceive: return "sendrecv";
    case Kind::Show: return "show";
  }
  return {};
}

std::optional<HandOffRequest> HandOffRequest::parse(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.starts_with("mailto ")) return HandOffRequest{Kind::Mailto, std::string(line.substr(7))};
  if (line == "sendrecv") return HandOffRequest{Kind::SendReceive, {}};
  if (line == "show") return HandOffRequest{Kind::Show, {}};
  return std::nullopt;
}

std::string InstanceHandOff::socketPath(std::string_view settingsName) {
  std::string name(settingsName);
  // A socket path has room for about a hundred bytes; a long (or Japanese)
  // settings name is shortened to a hash of itself.
  if (name.size() > 40 || name.find('/') != std::string::npos)
    name = "h" + std::to_string(std::hash<std::string>{}(name));
  return runtimeDirectory() + "/" + std::string(kPrefix) + userPart() + name + std::string(kSuffix);
}

std::vector<std::string> InstanceHandOff::allSocketPaths() {
  std::vector<std::string> paths;
  const std::string directory = runtimeDirectory();
  const std::string prefix = std::string(kPrefix) + userPart();
  DIR* listing = ::opendir(directory.c_str());
  if (!listing) return paths;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name.starts_with(prefix) && name.ends_with(kSuffix)) paths.push_back(directory + "/" + std::string(name));
  }
  ::closedir(listing);
  return paths;
}

bool InstanceHandOff::send(const std::string& path, const HandOffRequest& request, std::chrono::milliseconds timeout) {
  const int fd = connectTo(path);
  if (fd < 0) {
    if (errno == ECONNREFUSED) ::unlink(path.c_str());
    return false;
  }
  bool answered = writeAll(fd, request.line() + "\n");
  if (answered) {
    const auto answer = readLine(fd, timeout);
    answered = answer && *answer == kAnswer;
  }
  ::close(fd);
  return answered;
}

std::optional<InstanceHandOff> InstanceHandOff::listen(const std::string& path) {
  sockaddr_un address{};
  if (!fillAddress(path, address)) return std::nullopt;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return std::nullopt;
  const auto bindTo = [&] { return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0; };
  bool bound = bindTo();
  if (!bound && errno == EADDRINUSE) {
    const int live = connectTo(path);
    if (live >= 0) {
      ::close(live);
      ::close(fd);
      return std::nullopt;
    }
    ::unlink(path.c_str());
    bound = bindTo();
  }
  if (!bound || ::listen(fd, 8) != 0) {
    ::close(fd);
    return std::nullopt;
  }
  ::chmod(path.c_str(), 0600);
  return InstanceHandOff(fd, path);
}

InstanceHandOff::InstanceHandOff(InstanceHandOff&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

InstanceHandOff& InstanceHandOff::operator=(InstanceHandOff&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

InstanceHandOff::~InstanceHandOff() { close(); }

void InstanceHandOff::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(path_.c_str());
  fd_ = -1;
}

std::optional<HandOffRequest> InstanceHandOff::accept() {
  const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (client < 0) return std::nullopt;
  const auto line = readLine(client, std::chrono::seconds(2));
  writeAll(client, std::string(kAnswer) + "\n");
  ::close(client);
  if (!line) return std::nullopt;
  return HandOffRequest::parse(*line);
}

}  // namespace zorvik::view
