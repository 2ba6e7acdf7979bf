#include "net/TlsStream.h"

#include <arpa/inet.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <sys/socket.h>

namespace zorvik::net {
namespace {

constexpr std::size_t kReadAhead = 64 * 1024;

// OpenSSL's last error as a short English phrase.
std::string lastErrorText() {
  const unsigned long error = ERR_peek_last_error();
  if (error == 0) return "unknown error";
  const char* reason = ERR_reason_error_string(error);
  if (reason != nullptr) return reason;
  char text[256];
  ERR_error_string_n(error, text, sizeof text);
  return text;
}

// The socket under OpenSSL. OpenSSL's own socket BIO writes with write(),
// which raises SIGPIPE when the server has gone; this one sends with
// MSG_NOSIGNAL, as the plain sockets do, and remembers the end of stream
// for OpenSSL's end-of-file question.
int socketWrite(BIO* bio, const char* data, int length) {
  BIO_clear_retry_flags(bio);
  auto* end = static_cast<TlsStream::SocketEnd*>(BIO_get_data(bio));
  const ssize_t n = ::send(end->fd, data, static_cast<std::size_t>(length), MSG_NOSIGNAL);
  if (n >= 0) return static_cast<int>(n);
  if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) BIO_set_retry_write(bio);
  return -1;
}

int socketRead(BIO* bio, char* data, int length) {
  BIO_clear_retry_flags(bio);
  auto* end = static_cast<TlsStream::SocketEnd*>(BIO_get_data(bio));
  const ssize_t n = ::recv(end->fd, data, static_cast<std::size_t>(length), 0);
  if (n == 0) end->eof = true;
  if (n >= 0) return static_cast<int>(n);
  if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) BIO_set_retry_read(bio);
  return -1;
}

long socketControl(BIO* bio, int command, long, void*) {
  switch (command) {
    case BIO_CTRL_FLUSH: return 1;
    case BIO_CTRL_EOF: return static_cast<TlsStream::SocketEnd*>(BIO_get_data(bio))->eof ? 1 : 0;
    default: return 0;
  }
}

const BIO_METHOD* socketMethod() {
  static BIO_METHOD* const method = [] {
    BIO_METHOD* made = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "zorvik socket");
    if (made == nullptr) return made;
    BIO_meth_set_write(made, socketWrite);
    BIO_meth_set_read(made, socketRead);
    BIO_meth_set_ctrl(made, socketControl);
    return made;
  }();
  return method;
}

bool isAddressLiteral(const std::string& host) {
  in_addr v4{};
  in6_addr v6{};
  return ::inet_pton(AF_INET, host.c_str(), &v4) == 1 || ::inet_pton(AF_INET6, host.c_str(), &v6) == 1;
}

}  // namespace

TlsStream::TlsStream(int fd, std::string host, TlsSettings settings)
    : host_(std::move(host)), settings_(std::move(settings)), socket_{fd, false} {
  ERR_clear_error();
  context_ = SSL_CTX_new(TLS_client_method());
  if (context_ == nullptr) {
    setupFailed();
    return;
  }
  SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
  // A missing system store leaves only the fingerprints to trust, which the
  // verification then reports certificate by certificate.
  SSL_CTX_set_default_verify_paths(context_);
  SSL_CTX_set_verify(context_, SSL_VERIFY_PEER, &TlsStream::verifyCallback);
  // Both protocols end their data with a terminator of their own, so a
  // server that closes without close_notify truncates nothing unnoticed.
  SSL_CTX_set_options(context_, SSL_OP_IGNORE_UNEXPECTED_EOF);
  SSL_CTX_set_mode(context_, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  // Servers send records of a few kilobytes (Dovecot 4 KB); reading ahead
  // takes several with one receive instead of two receives each.
  SSL_CTX_set_read_ahead(context_, 1);
  SSL_CTX_set_default_read_buffer_len(context_, kReadAhead);

  ssl_ = SSL_new(context_);
  BIO* bio = socketMethod() != nullptr ? BIO_new(socketMethod()) : nullptr;
  if (ssl_ == nullptr || bio == nullptr) {
    BIO_free(bio);
    setupFailed();
    return;
  }
  BIO_set_data(bio, &socket_);
  BIO_set_init(bio, 1);
  SSL_set_bio(ssl_, bio, bio);
  SSL_set_app_data(ssl_, this);
  SSL_set_connect_state(ssl_);
  X509_VERIFY_PARAM* check = SSL_get0_param(ssl_);
  if (isAddressLiteral(host_)) {
    X509_VERIFY_PARAM_set1_ip_asc(check, host_.c_str());
    return;
  }
  X509_VERIFY_PARAM_set_hostflags(check, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  X509_VERIFY_PARAM_set1_host(check, host_.c_str(), host_.size());
  SSL_set_tlsext_host_name(ssl_, host_.c_str());
}

TlsStream::~TlsStream() {
  if (ssl_ != nullptr) SSL_free(ssl_);
  if (context_ != nullptr) SSL_CTX_free(context_);
}

void TlsStream::setupFailed() {
  failure_ = TlsFailure{TlsFailure::Kind::Setup, 0, lastErrorText(), std::nullopt};
  if (ssl_ != nullptr) SSL_free(ssl_);
  ssl_ = nullptr;
}

int TlsStream::verifyCallback(int preverified, x509_store_ctx_st* store) {
  auto* ssl = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
  auto* self = ssl == nullptr ? nullptr : static_cast<TlsStream*>(SSL_get_app_data(ssl));
  return self != nullptr && self->verify(preverified != 0, store) ? 1 : 0;
}

// Called for every certificate of the chain and once more for the name
// check; each problem comes with its own call.
bool TlsStream::verify(bool preverified, x509_store_ctx_st* store) {
  if (preverified) return true;
  const TlsCertificate leaf = TlsCertificate::of(X509_STORE_CTX_get0_cert(store));
  if (settings_.trusts(leaf.sha256)) {
    trustedByFingerprint_ = true;
    return true;
  }
  if (!failure_) failure_ = TlsFailure{TlsFailure::Kind::Certificate, X509_STORE_CTX_get_error(store), {}, leaf};
  return false;
}

TlsStream::Status TlsStream::statusOf(int result, bool handshaking) {
  const int error = SSL_get_error(ssl_, result);
  waitingFor_ = error == SSL_ERROR_WANT_WRITE ? Status::WantWrite
                : error == SSL_ERROR_WANT_READ ? Status::WantRead
                                               : Status::Done;
  switch (error) {
    case SSL_ERROR_WANT_READ: return Status::WantRead;
    case SSL_ERROR_WANT_WRITE: return Status::WantWrite;
    case SSL_ERROR_ZERO_RETURN:
      if (!handshaking) return Status::Closed;
      if (!failure_) failure_ = TlsFailure{TlsFailure::Kind::Closed, 0, {}, std::nullopt};
      return Status::Failed;
    case SSL_ERROR_SYSCALL:
      // The socket failed (a reset): in the handshake the server broke it off.
      if (handshaking && !failure_) failure_ = TlsFailure{TlsFailure::Kind::Closed, 0, {}, std::nullopt};
      return Status::Failed;
    default:
      if (!failure_) {
        // The server vanished in the middle of a record.
        const bool cut = ERR_GET_REASON(ERR_peek_last_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING;
        failure_ = cut ? TlsFailure{TlsFailure::Kind::Closed, 0, {}, std::nullopt}
                       : TlsFailure{TlsFailure::Kind::Handshake, 0, lastErrorText(), std::nullopt};
      }
      return Status::Failed;
  }
}

TlsStream::Status TlsStream::handshake() {
  if (ssl_ == nullptr) return Status::Failed;
  if (established_) return Status::Done;
  ERR_clear_error();
  const int result = SSL_do_handshake(ssl_);
  if (result != 1) return statusOf(result, true);
  waitingFor_ = Status::Done;
  established_ = true;
  X509* peer = SSL_get1_peer_certificate(ssl_);
  certificate_ = TlsCertificate::of(peer);
  X509_free(peer);
  return Status::Done;
}

std::size_t TlsStream::bytesMoved(int result, Status& status) {
  if (result <= 0) {
    status = statusOf(result, false);
    return 0;
  }
  waitingFor_ = Status::Done;
  status = Status::Done;
  return static_cast<std::size_t>(result);
}

std::size_t TlsStream::read(char* buffer, std::size_t size, Status& status) {
  status = Status::Failed;
  if (!established_) return 0;
  ERR_clear_error();
  const std::size_t moved =
      bytesMoved(SSL_read(ssl_, buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX))), status);
  starved_ = status == Status::WantRead;
  return moved;
}

std::size_t TlsStream::write(std::string_view bytes, Status& status) {
  status = bytes.empty() ? Status::Done : Status::Failed;
  if (!established_ || bytes.empty()) return 0;
  ERR_clear_error();
  return bytesMoved(SSL_write(ssl_, bytes.data(), static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX))),
                    status);
}

std::size_t TlsStream::buffered() const {
  if (!established_) return 0;
  if (const int decrypted = SSL_pending(ssl_); decrypted > 0) return static_cast<std::size_t>(decrypted);
  // Bytes read ahead from the socket hold a whole record unless the last
  // read found only part of one (then the socket must bring the rest).
  return !starved_ && SSL_has_pending(ssl_) == 1 ? 1 : 0;
}

void TlsStream::shutdown() {
  if (!established_) return;
  ERR_clear_error();
  SSL_shutdown(ssl_);
}

std::string TlsStream::protocol() const {
  if (!established_) return {};
  return std::string(SSL_get_version(ssl_)) + " " + SSL_get_cipher_name(ssl_);
}

}  // namespace zorvik::net
