#include "support/TestCertificates.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace zorvik::test {
namespace {

constexpr const char* kOpenssl = "/usr/bin/openssl";

// Every certificate in one shell script: two CAs made with "req -x509", the
// server certificates issued with "ca", which alone can set dates in the
// past. Elliptic-curve keys keep it fast.
const char* const kScript = R"SH(set -e
key() { openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$1.key"; }
mkdir -p db other
: > db/index.txt; echo 1000 > db/serial
: > other/index.txt; echo 1000 > other/serial
cat > ca.cnf <<'END'
[ca]
default_ca = test
[test]
database = DIR/index.txt
serial = DIR/serial
new_certs_dir = DIR
default_md = sha256
policy = any
copy_extensions = none
unique_subject = no
[any]
commonName = supplied
[local]
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectAltName = IP:127.0.0.1, DNS:localhost
[other]
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectAltName = DNS:mail.other.example
END
authority() {
  key "$1"
  openssl req -x509 -new -key "$1.key" -out "$1.pem" -days 3650 -subj "/O=Zorvik Test/CN=$2" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign
}
issue() {  # name, CA, CA folder, extensions, common name, then the dates
  name=$1 ca=$2 folder=$3 extensions=$4 cn=$5
  shift 5
  key "$name"
  openssl req -new -key "$name.key" -out "$name.csr" -subj "/O=Zorvik Test/CN=$cn"
  sed "s|DIR|$folder|" ca.cnf > "$name.cnf"
  openssl ca -batch -notext -config "$name.cnf" -cert "$ca.pem" -keyfile "$ca.key" -in "$name.csr" \
    -out "$name.pem" -extensions "$extensions" "$@"
}
authority ca "Zorvik Test CA"
authority otherca "Unknown Test CA"
issue valid ca db local 127.0.0.1 -startdate 20200101000000Z -enddate 20991231000000Z
issue expired ca db local 127.0.0.1 -startdate 20200101000000Z -enddate 20210101000000Z
issue wronghost ca db other mail.other.example -startdate 20200101000000Z -enddate 20991231000000Z
issue unknownissuer otherca other local 127.0.0.1 -startdate 20200101000000Z -enddate 20991231000000Z
key selfsigned
openssl req -x509 -new -key selfsigned.key -out selfsigned.pem -days 3650 -subj "/O=Zorvik Test/CN=127.0.0.1" \
  -addext subjectAltName=IP:127.0.0.1,DNS:localhost
for c in valid expired wronghost selfsigned unknownissuer; do
  openssl x509 -in "$c.pem" -noout -fingerprint -sha256 | sed 's/^.*=//' > "$c.fingerprint"
done
chmod 644 ./*.key ./*.pem
)SH";

int runQuietly(const std::vector<std::string>& argv, const std::string& directory) {
  std::vector<std::string> copy = argv;
  std::vector<char*> args;
  for (std::string& arg : copy) args.push_back(arg.data());
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "openssl.log", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int started = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (started != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::string contentOf(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::string TestCertificates::unavailableReason() {
  return ::access(kOpenssl, X_OK) == 0 ? std::string() : "the openssl command is not installed (package openssl)";
}

const TestCertificates& TestCertificates::shared() {
  static const TestCertificates certificates;
  return certificates;
}

TestCertificates::TestCertificates() {
  // Dovecot's processes read the keys whatever user they run as.
  ::chmod(dir_.path().c_str(), 0755);
  std::ofstream(dir_.file("make.sh")) << kScript;
  if (runQuietly({"/bin/sh", "make.sh"}, dir_.path()) != 0)
    throw std::runtime_error("openssl could not make the test certificates:\n" + contentOf(dir_.file("openssl.log")));
}

std::string TestCertificates::name(Kind kind) {
  switch (kind) {
    case Kind::Valid: return "valid";
    case Kind::Expired: return "expired";
    case Kind::WrongHost: return "wronghost";
    case Kind::SelfSigned: return "selfsigned";
    case Kind::UnknownIssuer: return "unknownissuer";
  }
  return "valid";
}

std::string TestCertificates::fingerprint(Kind kind) const {
  std::string text = contentOf(dir_.file(name(kind) + ".fingerprint"));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace zorvik::test
