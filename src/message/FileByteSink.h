/// \file
/// A ByteSink that appends to a file named by a Shift_JIS path.
#pragma once

#include "message/ByteSink.h"

#include <cstdio>
#include <string_view>

namespace zorvik::message {

class FileByteSink : public ByteSink {
public:
  /// Opens `path` for writing, truncating it, or for appending.
  enum class Mode { truncate, append };
  FileByteSink(std::string_view sjisPath, Mode mode);
  ~FileByteSink() override;
  FileByteSink(const FileByteSink&) = delete;
  FileByteSink& operator=(const FileByteSink&) = delete;

  /// False when the file could not be opened.
  bool isOpen() const { return file_ != nullptr; }
  bool write(std::string_view bytes) override;
  /// Flushes and closes; false when a write failed on the way (a full disk
  /// often shows only here).
  bool close();

private:
  std::FILE* file_ = nullptr;
};

}  // namespace zorvik::message
