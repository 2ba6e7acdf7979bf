/// \file
/// The stream socket under a POP3 session, as the session's line transport
/// uses it: one-second readiness waits and single receive and send calls,
/// with TLS under them once started.
/// PopSocket is the real one; tests put a scripted fake in its place to
/// drive time-outs without waiting for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "net/TlsSettings.h"
#include "net/TlsStream.h"

namespace zorvik::net {

class PopTransport {
public:
  virtual ~PopTransport() = default;

  /// Opens a stream socket. False when none can be had.
  virtual bool create() = 0;
  /// Shuts both directions down and closes; harmless without a socket.
  virtual void close() = 0;
  /// Starts a non-blocking connect. False only when `host` resolves neither
  /// as a name nor as a dotted-quad address.
  virtual bool connect(std::string_view host, std::uint16_t port) = 0;
  /// After the socket became writable: whether the connect succeeded.
  virtual bool connected() = 0;
  /// One readiness test of at most one second: 1 ready, 0 not yet, -1 error.
  virtual int waitReadable() = 0;
  virtual int waitWritable() = 0;
  /// One receive call: the byte count, 0 when the peer closed, -1 on error.
  virtual long receive(char* buffer, std::size_t size) = 0;
  /// One send call: the byte count, or -1 on error.
  virtual long send(std::string_view bytes) = 0;
  /// Whether the last failed receive or send only found nothing to do yet.
  virtual bool lastCallWouldBlock() const = 0;
  /// Bytes waiting to be received; -1 when that cannot be asked.
  virtual long bytesAvailable() = 0;

  /// Puts TLS for server `host` under the connected socket; continueTls()
  /// then runs the handshake, and receive() and send() carry plain bytes
  /// through it. A transport without TLS refuses (its handshake fails).
  virtual void startTls(std::string_view /*host*/, const TlsSettings& /*settings*/) {}
  /// One step of the handshake; Failed leaves the reason with tls().
  virtual TlsStream::Status continueTls() { return TlsStream::Status::Failed; }
  /// The TLS of this connection, once started; null otherwise.
  virtual const TlsStream* tls() const { return nullptr; }
};

}  // namespace zorvik::net
