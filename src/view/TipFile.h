/// \file
/// The start-up tips file "tips.txt" and where the "ﾜﾝﾎﾟｲﾝﾄ" dialog stopped
/// in it. Every line that does not begin with a tab, a space, ";" or a line
/// end is one tip (the first 1000 bytes of it); the others are comments and
/// blank lines. The file is UTF-8, as a person edits it on Linux; tips come
/// out in Shift_JIS.
///
/// The remembered position only counts for the file it was taken in: when
/// the file's modification time (as C's time text) differs from the stamp,
/// the tips start again at the first. A position beyond the end of the file
/// is reported (43020) and the tips start at the first. After the last tip
/// comes the first; a file without any tip is searched once, then next()
/// gives nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/Messages.h"

namespace zorvik::view {

/// The "Tip" values of the program's profile.
struct TipPlace {
  bool hideAtStart = false;  ///< "StartUp" 1
  long filePos = 0;          ///< "FilePos"
  std::string timeStamp;     ///< "TimeStamp"
};

class TipFile {
public:
  /// The tips file beside the program, else in "zorvik" below one of the
  /// folders of `dataDirs` (":"-separated, as $XDG_DATA_DIRS); empty when
  /// there is none.
  static std::string find(std::string_view programDirectory, std::string_view dataDirs);

  /// Opens the file at `path` where `place` says (updating the stamp and
  /// the position as above); empty when the file cannot be read.
  static std::optional<TipFile> open(const std::string& path, TipPlace& place, core::Messages& messages);

  /// The next tip; empty when the file holds none.
  std::optional<std::string> next();
  /// Where the search for the tip after the last one given starts.
  long position() const { return static_cast<long>(position_); }

private:
  explicit TipFile(std::string text, std::size_t position) : text_(std::move(text)), position_(position) {}

  std::string text_;
  std::size_t position_;
};

}  // namespace zorvik::view
