/// \file
/// The second stage of a DecodePipeline: converts the decoded bytes of a
/// text part to Shift_JIS.
#pragma once

#include "message/ByteBuffer.h"

#include <memory>

namespace zorvik::message {

/// The charset of a part, numbered as stored by the callers.
enum class CharsetKind {
  none = 0,       ///< Shift_JIS, ASCII or binary data: bytes pass unchanged
  iso2022jp = 1,
  utf8 = 5,
};

class CharsetConverter {
public:
  virtual ~CharsetConverter() = default;

  /// The converter for `kind`; any other kind passes bytes unchanged.
  static std::unique_ptr<CharsetConverter> create(CharsetKind kind);

  /// Converts what `in` holds and returns the buffer with the converted
  /// bytes (possibly `in` itself), which the caller writes and empties. A
  /// character cut at the end of `in` may stay there for the next call.
  virtual ByteBuffer& convert(ByteBuffer& in) = 0;

  /// At the end of the part: converts whatever is left in `in`, a cut
  /// character becoming the replacement.
  virtual ByteBuffer& finish(ByteBuffer& in) { return convert(in); }

protected:
  CharsetConverter() = default;
};

}  // namespace zorvik::message
