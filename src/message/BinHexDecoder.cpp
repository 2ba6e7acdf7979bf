#include "message/BinHexDecoder.h"

#include "core/SjisText.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace zorvik::message {
namespace {

constexpr std::string_view kAlphabet =
    "!\"#$%&'()*+,-012345689@ABCDEFGHIJKLMNPQRSTUVXYZ[`abcdefhijklmpqr";
constexpr std::string_view kTitle = "(this file";
constexpr unsigned char kRunMark = 0x90;
constexpr std::int32_t kHeaderFixedBytes = 11;  // version, type, creator, flags
constexpr std::int32_t kFlushBytes = 1 << 16;

constexpr std::array<std::int8_t, 256> kValues = [] {
  std::array<std::int8_t, 256> values{};
  values.fill(-1);
  for (std::size_t i = 0; i < kAlphabet.size(); ++i)
    values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
  return values;
}();

bool startsWithTitle(std::string_view line) {
  return core::equalsIgnoringAsciiCase(line.substr(0, kTitle.size()), kTitle);
}

}  // namespace

std::uint16_t BinHexDecoder::updateCrc(std::uint16_t crc, unsigned char byte) {
  unsigned value = crc;
  for (int bit = 7; bit >= 0; --bit) {
    const bool carry = (value & 0x8000) != 0;
    value = ((value << 1) | ((byte >> bit) & 1u)) & 0xFFFF;
    if (carry) value ^= 0x1021;
  }
  return static_cast<std::uint16_t>(value);
}

void BinHexDecoder::decodeLine(std::string_view line, ByteBuffer& out) {
  switch (state_) {
    case State::waitTitle:
      if (startsWithTitle(line)) state_ = State::waitColon;
      return;
    case State::waitColon:
      if (!line.starts_with(':')) return;
      crc_ = 0;
      state_ = State::nameLength;
      line.remove_prefix(1);
      break;
    case State::done:
      return;
    default:
      break;
  }
  decodeCharacters(line, out);
  process(out);
}

void BinHexDecoder::decodeCharacters(std::string_view text, ByteBuffer& out) {
  for (const char c : text) {
    const int v = kValues[static_cast<unsigned char>(c)];
    if (v < 0 || state_ == State::done) return;
    // Run-length marks can expand a line a hundredfold: hand the bytes on
    // as they come rather than holding a whole long line's worth.
    if (raw_.size() >= kFlushBytes) process(out);
    bits_ = (bits_ << 6) | static_cast<std::uint32_t>(v);
    bitCount_ += 6;
    if (bitCount_ < 8) continue;
    bitCount_ -= 8;
    expand(static_cast<unsigned char>(bits_ >> bitCount_));
    bits_ &= (1u << bitCount_) - 1;
  }
}

void BinHexDecoder::expand(unsigned char byte) {
  if (!runMark_) {
    if (byte == kRunMark) {
      runMark_ = true;
      return;
    }
    raw_.append(static_cast<char>(byte));
    previous_ = byte;
    return;
  }
  runMark_ = false;
  if (byte == 0) {
    raw_.append(static_cast<char>(kRunMark));
    previous_ = kRunMark;
    return;
  }
  // The count includes the byte already written.
  const std::int32_t copies = byte - 1;
  std::memset(raw_.prepareAppend(copies), previous_, static_cast<std::size_t>(copies));
  raw_.commitAppend(copies);
}

bool BinHexDecoder::take(std::int32_t n, std::uint32_t* value) {
  if (raw_.size() < n) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(raw_.data());
  std::uint32_t v = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    crc_ = updateCrc(crc_, p[i]);
    v = (v << 8) | p[i];
  }
  if (value != nullptr) *value = v;
  raw_.consume(n);
  return true;
}

bool BinHexDecoder::checkCrc(bool& matched) {
  if (raw_.size() < 2) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(raw_.data());
  const std::uint16_t stored = static_cast<std::uint16_t>((p[0] << 8) | p[1]);
  const std::uint16_t computed = updateCrc(updateCrc(crc_, 0), 0);
  matched = stored == computed;
  raw_.consume(2);
  return true;
}

void BinHexDecoder::process(ByteBuffer& out) {
  bool matched = true;
  for (;;) {
    switch (state_) {
      case State::nameLength:
        if (!take(1, &nameLength_)) return;
        state_ = State::header;
        break;
      case State::header:
        if (!take(static_cast<std::int32_t>(nameLength_) + kHeaderFixedBytes, nullptr)) return;
        state_ = State::dataLength;
        break;
      case State::dataLength:
        if (!take(4, &dataLeft_)) return;
        state_ = State::resourceLength;
        break;
      case State::resourceLength:
        if (!take(4, nullptr)) return;
        state_ = State::headerCrc;
        break;
      case State::headerCrc:
        if (!checkCrc(matched)) return;
        if (!matched) warn(DecodeWarning::binHexHeaderCrc);
        crc_ = 0;
        state_ = State::data;
        break;
      case State::data: {
        const auto n = static_cast<std::int32_t>(
            std::min<std::uint32_t>(dataLeft_, static_cast<std::uint32_t>(raw_.size())));
        const auto* p = reinterpret_cast<const unsigned char*>(raw_.data());
        for (std::int32_t i = 0; i < n; ++i) crc_ = updateCrc(crc_, p[i]);
        out.append(std::string_view(raw_.data(), static_cast<std::size_t>(n)));
        raw_.consume(n);
        dataLeft_ -= static_cast<std::uint32_t>(n);
        if (dataLeft_ > 0) return;
        state_ = State::dataCrc;
        break;
      }
      case State::dataCrc:
        if (!checkCrc(matched)) return;
        if (!matched) warn(DecodeWarning::binHexDataCrc);
        state_ = State::done;
        raw_.clear();
        return;
      default:
        return;
    }
  }
}

}  // namespace zorvik::message
