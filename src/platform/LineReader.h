/// \file
/// Reads a text file of the system line by line. Lines end with LF; a CR
/// before the LF is not part of the line (files are written with CR LF).
#pragma once

#include <istream>
#include <memory>
#include <string>
#include <string_view>

namespace zorvik::platform {

class LineReader {
public:
  /// Reads the file at the Shift_JIS `path`; isOpen() is false when it cannot.
  static LineReader openFile(std::string_view path);
  /// Reads lines from text held in memory.
  static LineReader fromText(std::string text);

  bool isOpen() const;
  /// The next line into `line`; false at end of file.
  bool next(std::string& line);
  /// Lines read so far.
  int lineNumber() const { return lineNumber_; }

private:
  explicit LineReader(std::unique_ptr<std::istream> in) : in_(std::move(in)) {}

  std::unique_ptr<std::istream> in_;
  int lineNumber_ = 0;
};

}  // namespace zorvik::platform
