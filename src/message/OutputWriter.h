/// \file
/// The last stage of a DecodePipeline: writes the converted bytes of a part
/// to its ByteSink, as binary data, as text with CR LF line ends, or as the
/// plain text of a text/enriched part.
#pragma once

#include "message/ByteBuffer.h"
#include "message/ByteSink.h"

#include <memory>

namespace zorvik::message {

/// How a part is written, numbered as stored by the callers.
enum class OutputKind {
  binary = 0,    ///< bytes as they are (attachments)
  text = 1,      ///< every lone CR and lone LF becomes CR LF
  enriched = 2,  ///< text/enriched reduced to plain text
};

class OutputWriter {
public:
  virtual ~OutputWriter() = default;

  static std::unique_ptr<OutputWriter> create(OutputKind kind);

  /// Writes the bytes of `buffer` to `sink` and empties the buffer. False
  /// when the sink refused them.
  virtual bool write(ByteSink& sink, ByteBuffer& buffer) = 0;

  /// At the end of the part: writes what was held back for a line end that
  /// never came.
  virtual bool finish(ByteSink& /*sink*/) { return true; }

protected:
  OutputWriter() = default;
};

}  // namespace zorvik::message
