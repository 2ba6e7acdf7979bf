/// \file
/// Writes the intermediate mailbox of an import: the mails that the MS
/// Internet Mail and AL-Mail readers take out of their files, one after
/// another in a work file, for MboxReader to hand to the MIME decoding.
/// Each mail starts with the line "From " (the five characters alone) and
/// ends with an empty line; every line ends with CR LF; a line of the mail
/// that begins with "From " is written with a leading ">", so it stays in
/// its mail. Mails go to the disk in large writes.
#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace zorvik::import {

class MboxWriter {
public:
  /// Creates (or empties) the file at `path` (Shift_JIS); check isOpen().
  explicit MboxWriter(std::string_view path);

  bool isOpen() const { return out_.is_open(); }
  /// Appends one mail as a file holds it (LF or CR LF line ends).
  bool write(std::string_view mail);
  /// Writes what is buffered and closes; false when any write failed.
  bool close();

private:
  std::ofstream out_;
  std::string buffer_;
  bool failed_ = false;
};

}  // namespace zorvik::import
