/// \file
/// A stand-in for NetworkManager's nmcli for the dial-up tests: a shell
/// script in a private bin folder that logs every call and plays the
/// connection states it is told to. Only the calls Zorvik makes are known:
///
///   nmcli -t -f NAME connection show --active
///   nmcli -t -g connection.type|GENERAL.STATE connection show id NAME
///   nmcli connection up id NAME [passwd-file FILE]
///   nmcli connection down id NAME
///
/// `up` waits until GENERAL.STATE has been asked `activatingPolls` times
/// (answered "activating"), so a test sees the states in between without
/// depending on timing. Faults: NetworkManager not running (exit 8), the
/// active list failing, `up` failing with a text (exit 4), the connection
/// dropping while it is dialled. `up` and `down` log whether the watched
/// file (a tray's text file) holds anything yet, so a test can tell what
/// happened before the dial and before the hang-up.
#pragma once

#include <string>
#include <vector>

#include "support/TestEnvironment.h"

namespace zorvik::test {

class FakeNmcli {
public:
  FakeNmcli();

  /// The script's path; it keeps its state in the folder above its own.
  std::string program() const;
  /// A PATH value that finds the script as "nmcli" first.
  std::string pathVariable() const;

  /// A connection profile NetworkManager knows, of `type` ("gsm", ...).
  void addProfile(const std::string& name, const std::string& type = "gsm") const;
  void setActive(const std::string& name) const;
  void setActivatingPolls(int polls) const;
  void setManagerDown() const;
  void setListFails() const;
  void setUpFails(const std::string& text) const;
  void setDrops() const;
  /// `up` and `down` log "watched: empty" or "watched: filled" for `path`.
  void watch(const std::string& path) const;

  /// The calls so far, one line each (the arguments joined by spaces), with
  /// the "passwd-file: ..." and "watched: ..." notes after `up` and `down`.
  std::vector<std::string> log() const;
  std::vector<std::string> active() const;

private:
  void touch(const std::string& name, const std::string& content = {}) const;

  ScratchDir dir_;
};

}  // namespace zorvik::test
