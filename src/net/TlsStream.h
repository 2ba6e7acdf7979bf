/// \file
/// TLS (OpenSSL 3) on a connected non-blocking stream socket: the client
/// side of the handshake, then reading and writing plain bytes through it.
/// PopSocket and AsyncSocket put it between their socket and the protocol,
/// so the POP3 and SMTP dialogues see the same lines as without it.
///
/// The connection uses TLS 1.2 or newer with the system's default cipher
/// policy and sends the host name (SNI) unless it is an address literal.
/// The server's certificate is verified against the system's trust store
/// (ca-certificates; SSL_CERT_FILE and SSL_CERT_DIR are honoured) and its
/// name (or address) is checked against `host`. A certificate whose SHA-256
/// fingerprint the user trusts is accepted whatever the verification says:
/// the user compared that very certificate. Otherwise a refused certificate
/// ends the handshake at once, before the protocol has said anything.
///
/// Every call returns at once: WantRead or WantWrite says which readiness
/// of the socket to wait for before calling again. The socket itself stays
/// the caller's; this object never closes it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "net/TlsCertificate.h"
#include "net/TlsFailure.h"
#include "net/TlsSettings.h"

struct ssl_st;
struct ssl_ctx_st;
struct x509_store_ctx_st;

namespace zorvik::net {

class TlsStream {
public:
  enum class Status {
    Done,       // the handshake finished / bytes were moved
    WantRead,   // call again once the socket is readable
    WantWrite,  // call again once the socket is writable
    Closed,     // the server ended the connection
    Failed,     // the connection is broken; failure() says why (handshake)
  };

  /// Prepares the client side on `fd` for server `host`. A stream that
  /// could not be prepared fails its handshake with a Setup failure.
  TlsStream(int fd, std::string host, TlsSettings settings);
  ~TlsStream();
  TlsStream(const TlsStream&) = delete;
  TlsStream& operator=(const TlsStream&) = delete;

  /// The socket as OpenSSL's input and output sees it.
  struct SocketEnd {
    int fd = -1;
    bool eof = false;  // a read found the stream ended
  };

  /// Advances the handshake.
  Status handshake();
  bool established() const { return established_; }

  /// Reads up to `size` plain bytes: their count (> 0), or 0 with `status`
  /// saying why none came.
  std::size_t read(char* buffer, std::size_t size, Status& status);
  /// Writes a prefix of `bytes`: its length (> 0), or 0 with `status`. A
  /// call after WantRead or WantWrite must offer the same bytes again.
  std::size_t write(std::string_view bytes, Status& status);
  /// Bytes that can be read without the socket (decrypted, or a whole
  /// record read ahead; at least 1 then): the socket may show nothing to
  /// read while these wait.
  std::size_t buffered() const;
  /// What the last call that could not go on waits for: WantRead,
  /// WantWrite, or Done when it went through.
  Status waitingFor() const { return waitingFor_; }

  /// Tells the server the connection ends (close_notify), without waiting.
  void shutdown();

  /// Why the handshake failed; empty otherwise.
  const std::optional<TlsFailure>& failure() const { return failure_; }
  /// The server's certificate once the handshake succeeded.
  const std::optional<TlsCertificate>& certificate() const { return certificate_; }
  /// The certificate was accepted by its fingerprint, not by verification.
  bool trustedByFingerprint() const { return trustedByFingerprint_; }
  /// "TLSv1.3" and the cipher suite, once established.
  std::string protocol() const;

private:
  static int verifyCallback(int preverified, x509_store_ctx_st* store);
  bool verify(bool preverified, x509_store_ctx_st* store);
  Status statusOf(int result, bool handshaking);
  std::size_t bytesMoved(int result, Status& status);
  void setupFailed();

  std::string host_;
  TlsSettings settings_;
  SocketEnd socket_;
  ssl_ctx_st* context_ = nullptr;
  ssl_st* ssl_ = nullptr;
  bool established_ = false;
  Status waitingFor_ = Status::Done;
  bool starved_ = false;  // the last read needed more from the socket
  bool trustedByFingerprint_ = false;
  std::optional<TlsFailure> failure_;
  std::optional<TlsCertificate> certificate_;
};

}  // namespace zorvik::net
