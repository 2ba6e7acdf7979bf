#include "support/DovecotServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include "support/LoopbackPort.h"

namespace zorvik::test {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;
constexpr auto kStartLimit = std::chrono::seconds(10);
constexpr auto kStopLimit = std::chrono::seconds(5);
constexpr auto kPoll = std::chrono::milliseconds(20);

std::string dovecotPath() {
  for (const char* candidate : {"/usr/sbin/dovecot", "/usr/local/sbin/dovecot"})
    if (::access(candidate, X_OK) == 0) return candidate;
  return {};
}

bool runningAsRoot() { return ::geteuid() == 0; }

std::string currentUserName() {
  const passwd* entry = ::getpwuid(::geteuid());
  return entry ? entry->pw_name : "nobody";
}

}  // namespace

DovecotServer::DovecotServer() {
  // Dovecot's processes must reach the folder whatever user they run as.
  ::chmod(dir_.path().c_str(), 0755);
  fs::create_directories(dir_.file("run"));
  fs::create_directories(dir_.file("state"));
  fs::create_directories(dir_.file("home"));
  std::ofstream(dir_.file("passwd"));
}

DovecotServer::~DovecotServer() { stop(); }

bool DovecotServer::available() { return !dovecotPath().empty(); }

std::string DovecotServer::missingReason() {
  return "dovecot is not installed (package dovecot-pop3d; scripts/install-deps.sh test)";
}

std::string DovecotServer::maildir(const std::string& user) const { return dir_.file("home/" + user + "/Maildir"); }

void DovecotServer::giveToMailUser(const std::string& path) const {
  if (!runningAsRoot()) return;
  ::chown(path.c_str(), kNobody, kNobody);
}

void DovecotServer::writeConfiguration() const {
  const std::string& d = dir_.path();
  const std::string mailUser = runningAsRoot() ? std::to_string(kNobody) : std::to_string(::geteuid());
  const std::string mailGroup = runningAsRoot() ? std::to_string(kNobody) : std::to_string(::getegid());
  std::ostringstream c;
  c << "base_dir = " << d << "/run\n"
    << "state_dir = " << d << "/state\n"
    << "log_path = " << d << "/dovecot.log\n"
    << "auth_mechanisms = plain apop\n"
    // Failed logins of one test must not slow down the next ones: no delay,
    // and no growing penalty for the loopback address.
    << "auth_failure_delay = 0\n"
    << "login_trusted_networks = 127.0.0.0/8\n"
    << "protocols = pop3\n"
    << "listen = 127.0.0.1\n"
    << "pop3_uidl_format = %08Xu%08Xv\n"
    << "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN " << d << "/passwd\n}\n"
    << "userdb {\n  driver = static\n  args = uid=" << mailUser << " gid=" << mailGroup << " home=" << d
    << "/home/%u\n}\n"
    << "mail_location = maildir:~/Maildir\n"
    << "service pop3-login {\n  inet_listener pop3 {\n    address = 127.0.0.1\n    port = " << port_
    << "\n  }\n";
  if (tlsPort_ != 0) {
    c << "  inet_listener pop3s {\n    address = 127.0.0.1\n    port = " << tlsPort_ << "\n    ssl = yes\n  }\n}\n"
      << "ssl = required\n"
      << "ssl_cert = <" << certificateFile_ << "\n"
      << "ssl_key = <" << keyFile_ << "\n"
      << "ssl_min_protocol = TLSv1.2\n"
      << "disable_plaintext_auth = yes\n"
      // Every attempt shows in the log with what the client sent.
      << "auth_verbose = yes\n"
      << "auth_debug = yes\n"
      << "auth_debug_passwords = yes\n"
      << "auth_verbose_passwords = plain\n";
  } else {
    c << "}\n"
      << "ssl = no\n"
      << "disable_plaintext_auth = no\n";
  }
  if (!runningAsRoot()) {
    // Without root Dovecot cannot switch users or chroot; everything runs
    // as the test's own user.
    const std::string me = currentUserName();
    c << "default_internal_user = " << me << "\n"
      << "default_login_user = " << me << "\n"
      << "service pop3-login {\n  chroot =\n}\n"
      << "service anvil {\n  chroot =\n}\n";
  }
  std::ofstream(dir_.file("dovecot.conf")) << c.str();
}

void DovecotServer::useTls(const std::string& certificateFile, const std::string& keyFile) {
  certificateFile_ = certificateFile;
  keyFile_ = keyFile;
}

bool DovecotServer::start() {
  if (pid_ > 0 || !available()) return pid_ > 0;
  port_ = test::freeLoopbackPort();
  if (!certificateFile_.empty()) {
    do {
      tlsPort_ = test::freeLoopbackPort();
    } while (tlsPort_ == port_);
  }
  writeConfiguration();
  const std::string program = dovecotPath();
  const std::string config = dir_.file("dovecot.conf");
  pid_ = ::fork();
  if (pid_ == 0) {
    ::execl(program.c_str(), program.c_str(), "-F", "-c", config.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  if (pid_ < 0 || !waitUntilListening()) {
    stop();
    return false;
  }
  return true;
}

bool DovecotServer::waitUntilListening() const {
  const auto end = std::chrono::steady_clock::now() + kStartLimit;
  while (std::chrono::steady_clock::now() < end) {
    if (test::acceptsOnLoopback(port_) && (tlsPort_ == 0 || test::acceptsOnLoopback(tlsPort_))) return true;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) return false;  // it gave up
    std::this_thread::sleep_for(kPoll);
  }
  return false;
}

void DovecotServer::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  const auto end = std::chrono::steady_clock::now() + kStopLimit;
  int status = 0;
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(kPoll);
  }
  pid_ = -1;
}

std::string DovecotServer::log() const {
  std::ifstream in(dir_.file("dovecot.log"));
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool DovecotServer::waitForLog(const std::string& text) const {
  const auto end = std::chrono::steady_clock::now() + kStopLimit;
  while (log().find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

void DovecotServer::addUser(const std::string& name, const std::string& password) {
  passwdLines_.push_back(name + ":" + password);
  {
    std::ofstream out(dir_.file("passwd.new"));
    for (const std::string& line : passwdLines_) out << line << "\n";
  }
  ::chmod(dir_.file("passwd.new").c_str(), 0644);
  fs::rename(dir_.file("passwd.new"), dir_.file("passwd"));
  const std::string home = dir_.file("home/" + name);
  for (const char* sub : {"", "/Maildir", "/Maildir/new", "/Maildir/cur", "/Maildir/tmp"}) {
    fs::create_directories(home + sub);
    giveToMailUser(home + sub);
  }
}

std::string DovecotServer::deliver(const std::string& user, const std::string& mail) {
  const std::string name = std::to_string(1'700'000'000 + delivered_) + ".M" + std::to_string(delivered_) + ".zorvik";
  ++delivered_;
  const std::string temporary = maildir(user) + "/tmp/" + name;
  std::ofstream(temporary, std::ios::binary) << mail;
  giveToMailUser(temporary);
  fs::rename(temporary, maildir(user) + "/new/" + name);
  return name;
}

bool DovecotServer::removeMail(const std::string& user, const std::string& name) {
  // Dovecot moves a mail it has seen from new/ to cur/ and adds flags to
  // its name; the part before ":" stays.
  for (const char* sub : {"/new", "/cur"}) {
    for (const auto& file : fs::directory_iterator(maildir(user) + sub)) {
      const std::string fileName = file.path().filename().string();
      if (fileName.substr(0, fileName.find(':')) == name) return fs::remove(file.path());
    }
  }
  return false;
}

int DovecotServer::mailCount(const std::string& user) const {
  int count = 0;
  for (const char* sub : {"/new", "/cur"})
    for ([[maybe_unused]] const auto& file : fs::directory_iterator(maildir(user) + sub)) ++count;
  return count;
}

}  // namespace zorvik::test
