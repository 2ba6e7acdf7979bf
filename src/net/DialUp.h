/// \file
/// The dial-up connection that a command to a mail server makes sure of
/// first (settings item 901 names it). One object serves one command: it
/// connects when the connection is not up, and disconnect() at the end
/// hangs up only what it dialled itself; a connection that was up before is
/// never touched. An object that goes without disconnect() leaves the
/// connection up. Failures show their numbered message and return Failed; the
/// command then opens no socket.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::net {

/// What a connection is dialled with: settings items 901-904 (Shift_JIS),
/// the password in plain text.
struct DialEntry {
  std::string name;
  std::string user;
  std::string password;
  std::string domain;

  static DialEntry fromSettings(const core::SettingsFile& settings);
};

/// Where dialling reports its progress: the status line of the window
/// "ﾀﾞｲｱﾙｱｯﾌﾟ接続中", and its button "中断(&A)".
class DialObserver {
public:
  virtual ~DialObserver() = default;
  /// A connection state (see DialState) and its text (Shift_JIS).
  virtual void state(int state, const std::string& text) = 0;
  /// True once the user asked to break dialling off.
  virtual bool abortRequested() = 0;
  /// The service refused the dialling with `reason` (Shift_JIS; its own
  /// words, or "未定義エラー"). True when the observer has shown it in an
  /// error window of its own; false leaves it to message 44220.
  virtual bool failed(const DialEntry& /*entry*/, const std::string& /*reason*/) { return false; }
};

enum class DialResult {
  Connected,         ///< dialled by this object; disconnect() hangs it up
  AlreadyConnected,  ///< was up before; nothing will be hung up
  Failed,            ///< its message has been shown
  Aborted,           ///< the user broke it off; hung up again
};

class DialUp {
public:
  virtual ~DialUp() = default;
  /// Makes sure `entry` is connected, dialling it when it is not.
  virtual DialResult connect(const DialEntry& entry, DialObserver& observer) = 0;
  /// Hangs up what connect() dialled, and waits until it is down; nothing
  /// when this object dialled nothing.
  virtual void disconnect() = 0;
  /// Whether the entry `name` is among the active connections; empty when
  /// they cannot be listed.
  virtual std::optional<bool> isConnected(std::string_view name) = 0;
  /// Brings the connection `name` down whoever made it (the user's own
  /// hang-up command); false when that failed.
  virtual bool hangUp(std::string_view name) = 0;
};

}  // namespace zorvik::net
