/// \file
/// A non-blocking IPv4 stream socket driven by an EventLoop: the SMTP
/// session's transport. It reports the connect, the bytes read, the moment
/// kept-back bytes have all gone out, failures and the server's close.
///
/// TCP_NODELAY is set and every send() goes to the system in one call: a
/// command is one write and a data block one write, so no Nagle delay waits
/// on the server's delayed acknowledgement. What the system does not take at
/// once is kept and written when the socket becomes writable again.
#pragma once

#include <string>

#include "net/EventLoop.h"
#include "net/SmtpTransport.h"

namespace zorvik::net {

class AsyncSocket final : public SmtpTransport, private EventLoop::SocketHandler {
public:
  /// Bytes taken from the socket per read report.
  static constexpr std::size_t kReadSize = 16 * 1024;

  explicit AsyncSocket(EventLoop& loop);
  ~AsyncSocket() override;
  AsyncSocket(const AsyncSocket&) = delete;
  AsyncSocket& operator=(const AsyncSocket&) = delete;

  void setListener(SmtpTransportListener* listener) override { listener_ = listener; }
  OpenResult open(const std::string& host, std::uint16_t port) override;
  SendResult send(std::string_view bytes) override;
  bool hasPending() const override { return pendingFrom_ < pending_.size(); }
  void close() override;
  std::string localHostName() const override;

private:
  void onReadable() override;
  void onWritable() override;
  void finishConnect();
  /// Writes from the kept-back bytes; false when the connection broke.
  bool flushPending(int& error);

  EventLoop& loop_;
  SmtpTransportListener* listener_ = nullptr;
  int fd_ = -1;
  bool connecting_ = false;
  std::string pending_;
  std::size_t pendingFrom_ = 0;
};

}  // namespace zorvik::net
