/// \file
/// The line transport of a POP3 session over a PopTransport: connecting
/// until a greeting arrives, reading replies cut into complete lines, writing
/// whole commands. Every wait is made of one-second waits so that the abort
/// flag is seen within a second and a time-out counts whole seconds. Failures
/// show their numbered message (an abort shows none) and set the error flag.
///
/// TLS: with implicit TLS the handshake runs right after the connect, before
/// the greeting is read; startTls() upgrades an open connection after the
/// server agreed to STLS. A refused certificate or a broken handshake shows
/// its message (41131, 41130) and ends the connection before the dialogue
/// can send anything.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/Messages.h"
#include "net/PopReplyReader.h"
#include "net/PopTransport.h"

namespace zorvik::net {

class PopConnection {
public:
  /// Bytes asked for in one receive call.
  static constexpr std::size_t kReadSize = 16384;
  /// A server that closes the connection is reported only from this many
  /// consecutive times on; earlier ones end the session silently.
  static constexpr int kSilentZeroReads = 3;

  /// `abort` is set by the user interface; `zeroReads` counts consecutive
  /// reads that found the connection closed and outlives connections.
  PopConnection(PopTransport& transport, core::Messages& messages, const std::atomic<bool>& abort,
                std::atomic<int>& zeroReads, std::size_t lineLimit = PopReplyReader::kDefaultLineLimit);

  /// Time-outs in seconds: writing a command, and waiting for reply data
  /// (the greeting included). Values below one count as one.
  void setTimeouts(int sendSeconds, int receiveSeconds);
  /// How connections are encrypted; open() runs the handshake itself when
  /// the mode is Implicit.
  void setTls(TlsSettings settings) { tls_ = std::move(settings); }

  /// Connects to `host`:`port` and waits for the greeting; a server that
  /// accepts but stays silent for the receive time-out is dropped and
  /// connected to again, until a greeting arrives or the user aborts. The
  /// greeting's complete lines go to `greeting`. False when the session
  /// cannot go on (message shown unless aborted).
  bool open(std::string_view host, std::uint16_t port, std::string& greeting);

  /// Waits for reply data and puts every complete line read so far into
  /// `lines` (the incomplete rest is kept for the next call). `stepCode`
  /// names the protocol step in the time-out message 43012; it grows by 100
  /// for each read that brought no complete line and by 1000 for each read
  /// that found nothing after all, so the message shows how often a read was
  /// repeated. False on failure, time-out, close or abort.
  bool readReply(int stepCode, std::string& lines);

  /// Writes all of `bytes`, waiting while the socket cannot take them.
  bool sendCommand(std::string_view bytes);

  /// Bytes that have arrived and wait to be read; 0 when unknown.
  long bytesWaiting();

  /// Runs the TLS handshake on the open connection. Anything the server
  /// sent in the clear before it is dropped: it could only be an attempt to
  /// slip lines into the encrypted dialogue. False on failure (message
  /// shown unless aborted).
  bool startTls();
  /// The connection's TLS once started; null otherwise.
  const TlsStream* tls() const { return transport_.tls(); }
  /// Why TLS failed on the last connection, if it did.
  const std::optional<TlsFailure>& tlsFailure() const { return tlsFailure_; }

  void close();
  bool failed() const { return error_; }
  /// The last failure was a line longer than the limit.
  bool overflowed() const { return overflowed_; }
  /// Connections dropped because no greeting came.
  int reconnects() const { return reconnects_; }

private:
  enum class Wait { Ready, TimedOut, Aborted };
  Wait waitUntil(bool readable, int seconds);
  /// Marks the connection failed and shows `message`, if any.
  bool fail(std::optional<core::MessageNumber> message);
  bool failTls();

  PopTransport& transport_;
  core::Messages& messages_;
  const std::atomic<bool>& abort_;
  std::atomic<int>& zeroReads_;
  PopReplyReader reader_;
  std::array<char, kReadSize> chunk_{};
  TlsSettings tls_;
  std::optional<TlsFailure> tlsFailure_;
  std::string host_;
  int sendSeconds_ = 60;
  int receiveSeconds_ = 60;
  bool error_ = false;
  bool overflowed_ = false;
  int reconnects_ = 0;
};

}  // namespace zorvik::net
