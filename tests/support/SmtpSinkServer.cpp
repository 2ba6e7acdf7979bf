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

// The server: aiosmtpd's SMTP with its Mailbox handler on an asyncio loop
// of its own, so that it can listen with TLS from the first byte too.
// Arguments: port, maildir, mode, certificate, key, user, password.
const char* const kServerScript = R"PY(
import asyncio, hmac, logging, os, ssl, sys, time
from aiosmtpd.handlers import Mailbox
from aiosmtpd.smtp import MISSING, SMTP, AuthResult

port, maildir, mode, cert, key, user, password = sys.argv[1:8]
logging.basicConfig(filename=os.path.join(maildir, 'commands.log'), level=logging.INFO, format='%(message)s')
attempts = open(os.path.join(maildir, 'auth.log'), 'a', buffering=1)

def authenticator(server, session, envelope, mechanism, data):
    login = data.login.decode(errors='replace')
    given = data.password.decode(errors='replace')
    attempts.write(f'{mechanism} {login} {given}\n')
    return AuthResult(success=bool(user) and login == user and given == password)

class Handler(Mailbox):
    async def auth_CRAM__MD5(self, server, args):
        challenge = f'<{os.getpid()}.{time.time_ns()}@zorvik.test>'.encode()
        answer = await server.challenge_auth(challenge)
        if answer is MISSING:
            return AuthResult(success=False, handled=True)
        login, _, digest = answer.decode(errors='replace').partition(' ')
        attempts.write(f'CRAM-MD5 {login} {digest}\n')
        expected = hmac.new(password.encode(), challenge, 'md5').hexdigest()
        ok = bool(user) and login == user and hmac.compare_digest(digest, expected)
        return AuthResult(success=ok, handled=False)

context = None
if mode != 'plain':
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
options = {'authenticator': authenticator, 'auth_require_tls': False} if user else {}
loop = asyncio.new_event_loop()
asyncio.set_event_loop(loop)
factory = lambda: SMTP(Handler(maildir), tls_context=context if mode == 'starttls' else None, loop=loop, **options)
loop.run_until_complete(loop.create_server(factory, '127.0.0.1', int(port), ssl=context if mode == 'tls' else None))
loop.run_forever()
)PY";

std::string modeName(SmtpSinkServer::Mode mode) {
  switch (mode) {
    case SmtpSinkServer::Mode::StartTls: return "starttls";
    case SmtpSinkServer::Mode::Implicit: return "tls";
    case SmtpSinkServer::Mode::Plain: break;
  }
  return "plain";
}

std::string contentOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

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

SmtpSinkServer::SmtpSinkServer(const std::string& directory, Options options)
    : directory_(directory), options_(std::move(options)) {
  for (const char* sub : {"tmp", "new", "cur"}) fs::create_directories(fs::path(directory_) / sub);
  std::ofstream(fs::path(directory_) / "server.py") << kServerScript;
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
  pid_ = spawnQuietly({kPython, (fs::path(directory_) / "server.py").string(), std::to_string(port_), directory_,
                       modeName(options_.mode), options_.certificateFile, options_.keyFile, options_.user,
                       options_.password});
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

std::string SmtpSinkServer::commandLog() const { return contentOf(fs::path(directory_) / "commands.log"); }

std::string SmtpSinkServer::authAttempts() const { return contentOf(fs::path(directory_) / "auth.log"); }

std::vector<std::string> SmtpSinkServer::messages() const {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fs::path(directory_) / "new")) files.push_back(entry.path());
  std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
    return storeCount(a.filename().string()) < storeCount(b.filename().string());
  });
  std::vector<std::string> result;
  for (const fs::path& file : files) result.push_back(contentOf(file));
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
