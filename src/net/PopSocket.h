/// \file
/// The POSIX stream socket of a POP3 session: IPv4, non-blocking, waited on
/// with poll() one second at a time so that the user's cancel is seen within
/// a second. TCP_NODELAY is set because the session writes each command in
/// one call and waits for the answer; Nagle would hold small writes back.
#pragma once

#include "net/PopTransport.h"

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

private:
  int wait(short events);

  int fd_ = -1;
  bool wouldBlock_ = false;
};

}  // namespace zorvik::net
