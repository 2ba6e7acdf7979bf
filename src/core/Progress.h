/// \file
/// Where long store work (backup, merge, export, compaction of large trays)
/// tells how far it has come: the status line of the desktop client, stderr
/// in zorvik-cli. The work calls step() often (once a record); a receiver
/// that shows every call would spend more time drawing than the work takes,
/// so receivers decide themselves how often they show something.
#pragma once

#include <string>

namespace zorvik::core {

class Progress {
public:
  virtual ~Progress() = default;
  /// The current state as a line of Shift_JIS text, for example
  /// "BACKUP...受信/仕事 : 1200".
  virtual void step(const std::string& text) = 0;
};

/// A receiver that shows nothing, for callers without a status line.
class SilentProgress final : public Progress {
public:
  void step(const std::string&) override {}
};

}  // namespace zorvik::core
