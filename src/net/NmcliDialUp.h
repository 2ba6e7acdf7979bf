/// \file
/// DialUp over NetworkManager's command-line tool nmcli: the entry of item
/// 901 is the name of a NetworkManager connection (a modem, PPPoE, mobile
/// broadband or VPN profile).
///
///  - the active connections are listed with
///    `nmcli -t -f NAME connection show --active`;
///  - dialling runs `nmcli connection up id <entry>` as a child process,
///    with the password of item 903 handed over in a private passwd-file
///    (the key by the connection's type: "gsm.password", "pppoe.password",
///    "vpn.secrets.password", ...), never on the command line. While it
///    runs, the connection's GENERAL.STATE is polled and shown as the
///    platform's states ("activating" as 2, "activated" as 0x2000); the
///    user name (902) and domain (904) are the profile's own;
///  - hanging up runs `nmcli connection down id <entry>`, then waits until
///    the entry has left the active list.
///
/// Messages: no nmcli, or NetworkManager not running, 40900; the active
/// list cannot be read 40924; the entry does not exist or is refused at
/// once 40922; the connection went down while it was being dialled 40923;
/// any other failure is shown with nmcli's own text by the observer's error
/// window ("ダイアルアップ接続エラー"), or else as 44220.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "net/DialUp.h"

namespace zorvik::net {

class NmcliDialUp final : public DialUp {
public:
  /// `program` is what is run ("nmcli" on PATH); `poll` how often the
  /// connection's state is read while dialling and hanging up.
  explicit NmcliDialUp(core::Messages& messages, std::string program = "nmcli",
                       std::chrono::milliseconds poll = std::chrono::milliseconds(100));

  DialResult connect(const DialEntry& entry, DialObserver& observer) override;

  /// Every connection NetworkManager knows, by name (Shift_JIS), for the
  /// settings page and the dial-up prompt to choose from; empty without
  /// nmcli.
  static std::vector<std::string> entryNames(const std::string& program = "nmcli");
  void disconnect() override;
  std::optional<bool> isConnected(std::string_view name) override;
  bool hangUp(std::string_view name) override;

private:
  /// The active list holds `name` (UTF-8); empty when it cannot be read
  /// (`exitCode` then says why).
  std::optional<bool> listed(const std::string& name, int* exitCode = nullptr);
  /// The key a passwd-file names the password of `name` (UTF-8) by.
  std::string secretKey(const std::string& name);
  /// The connection's state as a platform state number.
  int stateOf(const std::string& name);
  DialResult dial(const std::string& name, const DialEntry& entry, DialObserver& observer);
  bool waitUntilDown(const std::string& name);

  core::Messages& messages_;
  std::string program_;
  std::chrono::milliseconds poll_;
  // The entry this object brought up. An error box hangs up from whatever
  // thread shows it, so this is taken under the lock.
  std::mutex mutex_;
  std::string dialled_;
};

}  // namespace zorvik::net
