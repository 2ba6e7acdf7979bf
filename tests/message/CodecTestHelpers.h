/// \file
/// Shared by the codec tests: a string sink, and the one helper that runs a
/// DecodePipeline three ways (the input whole or line by line, one byte at a
/// time where the stages allow it, and followed by trailing data), because
/// state carried between calls is exactly where line-by-line decoders break.
#pragma once

#include "message/ByteSink.h"
#include "message/DecodePipeline.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::message::test {

class StringSink : public ByteSink {
public:
  bool write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

struct PipelineKinds {
  TransferKind transfer = TransferKind::none;
  CharsetKind charset = CharsetKind::none;
  OutputKind output = OutputKind::binary;
};

/// The body split after every LF (a last line without one kept).
inline std::vector<std::string> splitLines(std::string_view body) {
  std::vector<std::string> lines;
  while (!body.empty()) {
    const std::size_t end = body.find('\n');
    const std::size_t size = end == std::string_view::npos ? body.size() : end + 1;
    lines.emplace_back(body.substr(0, size));
    body.remove_prefix(size);
  }
  return lines;
}

/// Feeds `pieces` to a new pipeline and finishes it.
inline std::string runPipeline(const PipelineKinds& kinds, const std::vector<std::string>& pieces) {
  DecodePipeline pipeline(kinds.transfer, kinds.charset, kinds.output);
  StringSink sink;
  for (const std::string& piece : pieces) EXPECT_TRUE(pipeline.decodeAndWrite(sink, piece));
  EXPECT_TRUE(pipeline.finish(sink));
  return sink.text;
}

/// Decodes `body` line by line; as a whole when there is no transfer
/// decoding (the decoders take one line a call); one byte at a time when
/// every stage carries its state within a line (base64 or no transfer
/// decoding, and no ISO-2022-JP, whose escapes hold only for their line);
/// then with `trailing` appended, which must give `withTrailing` (by
/// default the same output, for decoders that stop at their end mark).
inline void expectDecodes(const PipelineKinds& kinds, std::string_view body, std::string_view expected,
                          std::string_view trailing = {},
                          std::optional<std::string_view> withTrailing = std::nullopt) {
  const std::vector<std::string> lines = splitLines(body);
  EXPECT_EQ(runPipeline(kinds, lines), expected) << "line by line";
  if (kinds.transfer == TransferKind::none) {
    EXPECT_EQ(runPipeline(kinds, {std::string(body)}), expected) << "whole";
  }
  const bool splittable = kinds.transfer == TransferKind::base64 || kinds.transfer == TransferKind::none;
  if (splittable && kinds.charset != CharsetKind::iso2022jp) {
    std::vector<std::string> bytes;
    for (const char c : body) bytes.emplace_back(1, c);
    EXPECT_EQ(runPipeline(kinds, bytes), expected) << "one byte at a time";
  }
  if (trailing.empty()) return;
  std::vector<std::string> more = lines;
  for (std::string& line : splitLines(trailing)) more.push_back(std::move(line));
  EXPECT_EQ(runPipeline(kinds, more), std::string(withTrailing.value_or(expected)))
      << "with trailing data";
}

}  // namespace zorvik::message::test
