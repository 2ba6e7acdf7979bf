/// \file
/// Where a DecodePipeline writes a decoded part: a file for attachments and
/// the mail text, a string in tests.
#pragma once

#include <string_view>

namespace zorvik::message {

class ByteSink {
public:
  virtual ~ByteSink() = default;
  /// Writes all of `bytes`; false when they could not be written (disk full,
  /// I/O error). Never throws.
  virtual bool write(std::string_view bytes) = 0;
};

}  // namespace zorvik::message
