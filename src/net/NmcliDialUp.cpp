#include "net/NmcliDialUp.h"

#include <unistd.h>

#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

#include "core/MessageNumber.h"
#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "net/DialState.h"
#include "platform/ChildProcess.h"
#include "platform/TextEncoding.h"

namespace zorvik::net {

using core::MessageNumber;

namespace {


// nmcli's exit statuses.
constexpr int kInvalidInput = 2;
constexpr int kManagerNotRunning = 8;
constexpr int kNoSuchConnection = 10;

// Hanging up waits at most this many polls for the entry to go.
constexpr int kDownPolls = 50;

struct Secret {
  const char* type;
  const char* key;
};
constexpr Secret kSecrets[] = {
    {"gsm", "gsm.password"},
    {"cdma", "cdma.password"},
    {"pppoe", "pppoe.password"},
    {"vpn", "vpn.secrets.password"},
    {"802-11-wireless", "802-11-wireless-security.psk"},
};

// The lines of nmcli's terse output, its "\:" and "\\" escapes undone.
std::vector<std::string> terseLines(const std::string& output) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < output.size(); ++i) {
    if (output[i] == '\n') {
      lines.emplace_back();
    } else if (output[i] == '\\' && i + 1 < output.size()) {
      lines.back() += output[++i];
    } else {
      lines.back() += output[i];
    }
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

std::string firstLine(const std::string& text) {
  const auto lines = terseLines(text);
  return lines.empty() ? std::string() : lines.front();
}

// A file only the user can read, holding the password for nmcli; removed
// when the object goes.
class PasswordFile {
public:
  PasswordFile(const std::string& key, const std::string& password) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string pattern = std::string(runtime && *runtime ? runtime : "/tmp") + "/zorvik-dial-XXXXXX";
    const int fd = ::mkstemp(pattern.data());  // made with mode 0600
    if (fd < 0) return;
    const std::string line = key + ":" + password + "\n";
    const bool written = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    ::close(fd);
    if (written) path_ = pattern;
    else ::unlink(pattern.c_str());
  }
  ~PasswordFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  PasswordFile(const PasswordFile&) = delete;
  PasswordFile& operator=(const PasswordFile&) = delete;

  const std::string& path() const { return path_; }

private:
  std::string path_;
};

}  // namespace

DialEntry DialEntry::fromSettings(const core::SettingsFile& settings) {
  return {settings.text(core::item::kDialUpEntry), settings.text(core::item::kDialUpUser),
          settings.plainPassword(core::item::kDialUpPassword), settings.text(core::item::kDialUpDomain)};
}

NmcliDialUp::NmcliDialUp(core::Messages& messages, std::string program, std::chrono::milliseconds poll)
    : messages_(messages), program_(std::move(program)), poll_(poll) {}

std::optional<bool> NmcliDialUp::listed(const std::string& name, int* exitCode) {
  const auto run = platform::ChildProcess::run({program_, "-t", "-f", "NAME", "connection", "show", "--active"});
  if (exitCode) *exitCode = run ? run->exitCode : -1;
  if (!run || run->exitCode != 0) return std::nullopt;
  for (const std::string& line : terseLines(run->output))
    if (line == name) return true;
  return false;
}

std::vector<std::string> NmcliDialUp::entryNames(const std::string& program) {
  if (!platform::ChildProcess::find(program)) return {};
  const auto run = platform::ChildProcess::run({program, "-t", "-f", "NAME", "connection", "show"});
  if (!run || run->exitCode != 0) return {};
  std::vector<std::string> names;
  for (const std::string& line : terseLines(run->output)) names.push_back(platform::utf8ToSjis(line));
  return names;
}

std::optional<bool> NmcliDialUp::isConnected(std::string_view name) {
  return listed(platform::sjisToUtf8(name));
}

std::string NmcliDialUp::secretKey(const std::string& name) {
  const auto run = platform::ChildProcess::run({program_, "-t", "-g", "connection.type", "connection", "show", "id", name});
  if (!run || run->exitCode != 0) return {};
  const std::string type = firstLine(run->output);
  for (const Secret& secret : kSecrets)
    if (type == secret.type) return secret.key;
  return {};
}

int NmcliDialUp::stateOf(const std::string& name) {
  const auto run = platform::ChildProcess::run({program_, "-t", "-g", "GENERAL.STATE", "connection", "show", "id", name});
  const std::string state = run && run->exitCode == 0 ? firstLine(run->output) : std::string();
  if (state == "activating") return DialState::kConnectDevice;
  if (state == "activated") return DialState::kConnected;
  if (state == "deactivating" || state == "deactivated") return DialState::kDisconnected;
  return DialState::kOpenPort;
}

DialResult NmcliDialUp::connect(const DialEntry& entry, DialObserver& observer) {
  if (!platform::ChildProcess::find(program_)) {
    messages_.error(MessageNumber::DialUpNotInstalled);
    return DialResult::Failed;
  }
  const std::string name = platform::sjisToUtf8(entry.name);
  int exitCode = 0;
  const auto up = listed(name, &exitCode);
  if (!up) {
    messages_.error(exitCode == kManagerNotRunning ? MessageNumber::DialUpNotInstalled : MessageNumber::DialUpEntryNotFound);
    return DialResult::Failed;
  }
  return *up ? DialResult::AlreadyConnected : dial(name, entry, observer);
}

DialResult NmcliDialUp::dial(const std::string& name, const DialEntry& entry, DialObserver& observer) {
  observer.state(DialState::kOpenPort, DialState::text(DialState::kOpenPort));
  std::vector<std::string> command{program_, "connection", "up", "id", name};
  std::optional<PasswordFile> secret;
  if (!entry.password.empty()) {
    if (const std::string key = secretKey(name); !key.empty()) {
      secret.emplace(key, platform::sjisToUtf8(entry.password));
      if (!secret->path().empty()) command.insert(command.end(), {"passwd-file", secret->path()});
    }
  }
  auto child = platform::ChildProcess::start(command);
  if (!child) {
    messages_.error(MessageNumber::DialUpNotInstalled);
    return DialResult::Failed;
  }
  int shown = DialState::kOpenPort;
  bool activating = false;
  while (!child->finished()) {
    if (observer.abortRequested()) {
      child->stop();
      hangUp(entry.name);
      return DialResult::Aborted;
    }
    const int state = stateOf(name);
    activating = activating || state == DialState::kConnectDevice;
    if (state != shown) observer.state(state, DialState::text(state));
    shown = state;
    if (state == DialState::kDisconnected && activating) {
      child->stop();
      messages_.error(MessageNumber::DialUpHungUp);
      return DialResult::Failed;
    }
    std::this_thread::sleep_for(poll_);
  }
  const platform::ChildProcess::Result result = child->wait();
  if (result.exitCode == 0) {
    {
      const std::lock_guard lock(mutex_);
      dialled_ = entry.name;
    }
    if (shown != DialState::kConnected) observer.state(DialState::kConnected, DialState::text(DialState::kConnected));
    return DialResult::Connected;
  }
  if (result.exitCode == kManagerNotRunning) {
    messages_.error(MessageNumber::DialUpNotInstalled);
  } else if (result.exitCode == kInvalidInput || result.exitCode == kNoSuchConnection) {
    messages_.error(MessageNumber::DialUpBadSettings);
  } else {
    const std::string said = firstLine(result.errors);
    const std::string reason = said.empty() ? platform::sjisLiteral("未定義エラー") : platform::utf8ToSjis(said);
    if (!observer.failed(entry, reason)) messages_.error(MessageNumber::DialUpFailed, {entry.name, reason});
  }
  return DialResult::Failed;
}

bool NmcliDialUp::waitUntilDown(const std::string& name) {
  for (int poll = 0; poll < kDownPolls; ++poll) {
    const auto up = listed(name);
    if (!up || !*up) return up.has_value();
    std::this_thread::sleep_for(poll_);
  }
  return false;
}

bool NmcliDialUp::hangUp(std::string_view sjisName) {
  const std::string name = platform::sjisToUtf8(sjisName);
  const auto run = platform::ChildProcess::run({program_, "connection", "down", "id", name});
  if (!run || run->exitCode != 0) return false;
  return waitUntilDown(name);
}

void NmcliDialUp::disconnect() {
  std::string name;
  {
    const std::lock_guard lock(mutex_);
    name = std::exchange(dialled_, {});
  }
  if (!name.empty()) hangUp(name);
}

}  // namespace zorvik::net
