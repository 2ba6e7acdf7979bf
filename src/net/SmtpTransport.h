/// \file
/// The socket as the SMTP session sees it: connect, send whole blocks, close,
/// start TLS, and the notifications that come back (connected, bytes read,
/// ready to write again, TLS ready or failed, failures, closed by the server). AsyncSocket implements it
/// over an EventLoop; tests and the fuzzer can put a fake in its place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "net/TlsFailure.h"
#include "net/TlsSettings.h"
#include "net/TlsStream.h"

namespace zorvik::net {

class SmtpTransportListener {
public:
  /// The connect finished; `error` is 0 or the errno of the failure.
  virtual void onConnected(int error) = 0;
  virtual void onReceived(std::string_view bytes) = 0;
  virtual void onReadFailed(int error) = 0;
  /// Everything that send() kept back has gone out.
  virtual void onWritable() = 0;
  /// Sending what send() kept back failed.
  virtual void onWriteFailed(int error) = 0;
  /// The server closed the connection (after every byte it sent was read).
  virtual void onPeerClosed() = 0;
  /// The TLS handshake that startTls() began has succeeded.
  virtual void onTlsReady() = 0;
  /// It failed; the connection is of no more use.
  virtual void onTlsFailed(const TlsFailure& failure) = 0;

protected:
  ~SmtpTransportListener() = default;
};

class SmtpTransport {
public:
  enum class OpenResult {
    Connecting,     // onConnected() follows (with an error when the host does not resolve)
    NoSocket,       // the system gave no socket
    ConnectFailed,  // no connect could be started
  };
  enum class SendResult {
    Sent,     // every byte is with the system
    Pending,  // the rest is kept and goes out when the socket can take it
    Failed,   // the connection is broken
  };

  virtual ~SmtpTransport() = default;
  virtual void setListener(SmtpTransportListener* listener) = 0;
  /// Starts connecting to `host` (a name or a dotted address) at `port`.
  virtual OpenResult open(const std::string& host, std::uint16_t port) = 0;
  /// Hands `bytes` to the socket in as few writes as it takes. Bytes sent
  /// while others are kept back queue behind them, so order is kept.
  virtual SendResult send(std::string_view bytes) = 0;
  /// Whether bytes are kept back waiting for the socket.
  virtual bool hasPending() const = 0;
  /// Closes the connection; nothing more is reported. Harmless when closed.
  virtual void close() = 0;
  /// This end's host name (reverse lookup of the socket's own address), or
  /// the address in dotted form when the lookup fails; empty when closed.
  virtual std::string localHostName() const = 0;
  /// Starts TLS for server `host` on the open connection, once nothing is
  /// kept back; onTlsReady() or onTlsFailed() follows from the loop. False
  /// when it cannot be started (a transport without TLS).
  virtual bool startTls(const std::string& /*host*/, const TlsSettings& /*settings*/) { return false; }
  /// The connection's TLS once started; null otherwise.
  virtual const TlsStream* tls() const { return nullptr; }
};

}  // namespace zorvik::net
