/// \file
/// A non-blocking IPv4 stream socket driven by an EventLoop: the SMTP
/// session's transport. It reports the connect, the bytes read, the moment
/// kept-back bytes have all gone out, failures and the server's close.
///
/// The host name is looked up on a thread of its own (HostResolver), and so
/// is this end's name for HELO, so opening never blocks the loop's thread,
/// however slow the resolver.
///
/// TCP_NODELAY is set and every send() goes to the system in one call: a
/// command is one write and a data block one write, so no Nagle delay waits
/// on the server's delayed acknowledgement. What the system does not take at
/// once is kept and written when the socket becomes writable again.
///
/// With TLS started (startTls()), the handshake runs from the loop and ends
/// with onTlsReady() or onTlsFailed(); from then on the same reports carry
/// the plain bytes inside TLS.
#pragma once

#include <memory>
#include <string>

#include "net/EventLoop.h"
#include "net/HostResolver.h"
#include "net/SmtpTransport.h"
#include "net/TlsStream.h"

namespace zorvik::net {

class AsyncSocket final : public SmtpTransport, private EventLoop::SocketHandler {
public:
  /// Bytes taken from the socket per read report.
  static constexpr std::size_t kReadSize = 16 * 1024;

  /// `lookup` is the blocking name lookup run off the loop's thread
  /// (serverAddress() by default).
  explicit AsyncSocket(EventLoop& loop, HostResolver::Lookup lookup = {});
  ~AsyncSocket() override;
  AsyncSocket(const AsyncSocket&) = delete;
  AsyncSocket& operator=(const AsyncSocket&) = delete;

  void setListener(SmtpTransportListener* listener) override { listener_ = listener; }
  OpenResult open(const std::string& host, std::uint16_t port) override;
  SendResult send(std::string_view bytes) override;
  bool hasPending() const override { return pendingFrom_ < pending_.size(); }
  void close() override;
  std::string localHostName() const override;
  bool startTls(const std::string& host, const TlsSettings& settings) override;
  const TlsStream* tls() const override { return tls_.get(); }

private:
  // Reports the resolver's answer to the socket.
  class ResolverWatch final : public EventLoop::SocketHandler {
  public:
    explicit ResolverWatch(AsyncSocket& socket) : socket_(socket) {}
    void onReadable() override { socket_.onResolved(); }
    void onWritable() override {}

  private:
    AsyncSocket& socket_;
  };

  enum class Phase { Closed, Resolving, Connecting, Handshaking, Open };

  void onReadable() override;
  void onWritable() override;
  void onResolved();
  void finishConnect();
  void continueHandshake();
  void readAvailable();
  /// Writes some of `bytes`: the count, 0 when the socket takes nothing now,
  /// -1 with `error` when the connection broke.
  long writeSome(std::string_view bytes, int& error);
  /// Writes from the kept-back bytes; false when the connection broke.
  bool flushPending(int& error);
  void updateWriteInterest();
  void stopResolving();

  EventLoop& loop_;
  HostResolver resolver_;
  ResolverWatch resolverWatch_{*this};
  SmtpTransportListener* listener_ = nullptr;
  Phase phase_ = Phase::Closed;
  int fd_ = -1;
  int resolverFd_ = -1;
  std::uint16_t port_ = 0;
  std::string localName_;
  std::unique_ptr<TlsStream> tls_;
  std::string pending_;
  std::size_t pendingFrom_ = 0;
};

}  // namespace zorvik::net
