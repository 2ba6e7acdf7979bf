/// \file
/// The POSIX stream socket of a POP3 session: IPv4, non-blocking, waited on
/// with poll() one second at a time so that the user's cancel is seen within
/// a second. TCP_NODELAY is set because the session writes each command in
/// one call and waits for the answer; Nagle would hold small writes back.
///
/// With TLS started, receive and send move plain bytes through the
/// TlsStream, and a wait also counts bytes TLS has decrypted already (the
/// socket itself may have nothing more to read) and waits for whichever
/// readiness TLS asked for.
#pragma once

#include <memory>

#include "net/PopTransport.h"
#include "net/TlsStream.h"

namespace zorvik::net {

class PopSocket : public PopTransport {
public:
  PopSocket() = default;
  ~PopSocket() override;
  PopSocket(const PopSocket&) = delete;
  PopSocket& operator=(const PopSocket&) = delete;

  bool create() override;
  void close() override;
  bool connect(std::string_view host, std::uint16_t port) override;
  bool connected() override;
  int waitReadable() override;
  int waitWritable() override;
  long receive(char* buffer, std::size_t size) override;
  long send(std::string_view bytes) override;
  bool lastCallWouldBlock() const override { return wouldBlock_; }
  long bytesAvailable() override;
  void startTls(std::string_view host, const TlsSettings& settings) override;
  TlsStream::Status continueTls() override;
  const TlsStream* tls() const override { return tls_.get(); }

private:
  int wait(short events);
  long passedThroughTls(std::size_t moved, TlsStream::Status status);

  int fd_ = -1;
  std::unique_ptr<TlsStream> tls_;
  bool wouldBlock_ = false;
};

}  // namespace zorvik::net
