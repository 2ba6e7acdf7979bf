#include "message/DecodePipeline.h"

namespace zorvik::message {

DecodePipeline::DecodePipeline(TransferKind transfer, CharsetKind charset, OutputKind output)
    : decoder_(TransferDecoder::create(transfer)),
      converter_(CharsetConverter::create(charset)),
      writer_(OutputWriter::create(output)) {}

bool DecodePipeline::decodeAndWrite(ByteSink& sink, std::string_view line) {
  decoder_->decodeLine(line, intermediate_);
  return writer_->write(sink, converter_->convert(intermediate_));
}

bool DecodePipeline::finish(ByteSink& sink) {
  const bool written = writer_->write(sink, converter_->finish(intermediate_));
  return writer_->finish(sink) && written;
}

}  // namespace zorvik::message
