/// \file
/// Cuts the byte stream from an SMTP server into replies. Bytes arrive in any
/// pieces: a line split across reads waits for its end, several replies in
/// one read come out one by one, in order.
///
/// A reply line whose fourth character is "-" continues the reply; the first
/// line without it ends the reply and gives the code. Lines end in LF; a CR
/// before it is dropped, so a server that sends bare LF is still understood.
///
/// Memory stays bounded whatever the server sends: only the first bytes of
/// an over-long line are kept, and the text of a reply is cut to kTextLimit
/// bytes (the remaining lines still count for finding the reply's end).
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "net/SmtpReply.h"

namespace zorvik::net {

class SmtpReplyReader {
public:
  /// Bytes of one line that are kept; the rest of the line is skipped.
  static constexpr std::size_t kLineLimit = 1024;
  /// Bytes of reply text that are kept.
  static constexpr std::size_t kTextLimit = 2000;

  /// Takes the next bytes from the server.
  void feed(std::string_view bytes);
  /// The oldest complete reply not yet taken, or empty.
  std::optional<SmtpReply> next();
  /// Forgets everything (a new connection starts).
  void reset();

private:
  void endLine();

  std::string line_;
  std::string text_;
  std::deque<SmtpReply> ready_;
};

}  // namespace zorvik::net
