/// \file
/// The dial-up around one command that talks to a mail server (receive,
/// send, the mail-server tray, the new-mail check). Made before the command
/// opens a socket, it makes sure the connection named by settings item 901
/// is up, asking first through the front end's prompt while item 905 is
/// on; when it goes, it hangs up what it dialled itself, never a
/// connection that was up before. While it holds a connection it dialled,
/// every error box hangs that up first. Without item 901 it does nothing.
///
/// Dial-up runs over NetworkManager (net::NmcliDialUp); without nmcli the
/// command refuses to start with 40900.
#pragma once

#include <memory>
#include <optional>

#include "mailflow/FrontEnd.h"
#include "net/DialUp.h"

namespace zorvik::core {
class Messages;
}

namespace zorvik::mailflow {

class Document;

class DialUpScope {
public:
  /// Empty when the connection could not be made, or the user cancelled
  /// the prompt or the dialling (a failure's message has been shown): the
  /// command must not start.
  static std::optional<DialUpScope> open(const Document& document, FrontEnd& front);

  DialUpScope(DialUpScope&& other) noexcept;
  DialUpScope& operator=(DialUpScope&&) = delete;
  ~DialUpScope();

  /// This scope dialled the connection (it was not up before).
  bool dialled() const { return dialled_; }
  /// Leaves the connection up when the scope goes (zorvik-cli dial; a
  /// connection held while the program runs, item 906).
  void keep() { dialled_ = false; }

  /// Brings the connection of item 901 down, whoever made it; false when
  /// none is configured or it could not be brought down.
  static bool hangUp(const Document& document);
  /// Whether the connection of item 901 is up; empty when none is
  /// configured or the active connections cannot be listed.
  static std::optional<bool> connected(const Document& document);

private:
  DialUpScope(std::unique_ptr<net::DialUp> dialUp, core::Messages* messages, bool dialled);

  std::unique_ptr<net::DialUp> dialUp_;
  core::Messages* messages_ = nullptr;
  bool dialled_ = false;
  bool hooked_ = false;  // the error boxes hang up through dialUp_
};

}  // namespace zorvik::mailflow
