#include "message/PartialSplitter.h"

#include <algorithm>
#include <fstream>

#include "message/FileByteSink.h"
#include "core/SjisText.h"
#include "message/OutgoingText.h"
#include "platform/FileSystem.h"

namespace zorvik::message {

using core::MessageNumber;

namespace {

constexpr std::size_t kBlock = 64 * 1024;

// The header's logical lines up to its empty line, each with its folded
// continuation lines and their CR LFs, but without the final CR LF.
std::vector<std::string_view> logicalLines(std::string_view header) {
  std::vector<std::string_view> lines;
  std::size_t at = 0;
  while (at < header.size()) {
    std::size_t end = header.find("\r\n", at);
    if (end == std::string_view::npos) end = header.size();
    if (end == at) break;  // the empty line
    const bool continues = !lines.empty() && (header[at] == ' ' || header[at] == '\t');
    if (continues) {
      const std::string_view first = lines.back();
      lines.back() = std::string_view(first.data(), end - static_cast<std::size_t>(first.data() - header.data()));
    } else {
      lines.push_back(header.substr(at, end - at));
    }
    at = end + 2;
  }
  return lines;
}

// The Message-Id in a header, without its angle brackets.
std::string messageIdOf(std::string_view header) {
  for (const std::string_view line : logicalLines(header)) {
    if (!core::startsWithIgnoringAsciiCase(line, "Message-Id:")) continue;
    const std::size_t open = line.find('<');
    const std::size_t close = line.find('>', open);
    if (open == std::string_view::npos || close == std::string_view::npos) return {};
    return std::string(line.substr(open + 1, close - open - 1));
  }
  return {};
}

}  // namespace

PartialSplitter::PartialSplitter(std::string headerPath, std::string bodyPath, core::Messages& messages)
    : headerPath_(std::move(headerPath)), bodyPath_(std::move(bodyPath)), messages_(&messages) {}

std::optional<int> PartialSplitter::start(std::int32_t splitKilobytes, std::string_view fallbackId) {
  cuts_.clear();
  next_ = 0;
  auto header = platform::readFile(headerPath_);
  if (!header) {
    messages_->error(MessageNumber::TemporaryFileNotCreated, {headerPath_});
    return std::nullopt;
  }
  const auto bodySize = platform::fileSize(bodyPath_);
  if (!bodySize) {
    messages_->error(MessageNumber::TemporaryFileNotCreated, {bodyPath_});
    return std::nullopt;
  }
  header_ = std::move(*header);
  id_ = messageIdOf(header_);
  if (id_.empty()) id_ = std::string(fallbackId);
  if (splitKilobytes <= 0) return 0;
  const std::uint64_t limit = static_cast<std::uint64_t>(splitKilobytes) * 1024;
  if ((header_.size() + *bodySize + 2) / limit == 0) return 0;

  // The first fragment's limit counts the enclosed header it carries.
  std::uint64_t from = 0;
  std::uint64_t budget = limit > header_.size() ? limit - header_.size() : 0;
  while (from < *bodySize) {
    const std::uint64_t want = from + budget;
    std::uint64_t cut = *bodySize;
    if (want < *bodySize) {
      const auto end = lineEndFrom(want == 0 ? 0 : want - 1, *bodySize);
      if (!end) {
        messages_->error(MessageNumber::TemporaryFileNotCreated, {bodyPath_});
        return std::nullopt;
      }
      cut = *end;
    }
    cuts_.push_back(cut);
    from = cut;
    budget = limit;
  }
  if (cuts_.size() <= 1) {
    cuts_.clear();
    return 0;
  }
  return fragmentCount();
}

// The offset just past the first LF at or after `at`; the size when the
// file has no further LF.
std::optional<std::uint64_t> PartialSplitter::lineEndFrom(std::uint64_t at, std::uint64_t size) const {
  std::ifstream body(platform::nativePath(bodyPath_), std::ios::binary);
  if (!body || !body.seekg(static_cast<std::streamoff>(at))) return std::nullopt;
  std::string block(kBlock, '\0');
  while (at < size) {
    body.read(block.data(), static_cast<std::streamsize>(block.size()));
    const auto got = static_cast<std::size_t>(body.gcount());
    if (got == 0) return std::nullopt;
    const std::size_t lf = std::string_view(block.data(), got).find('\n');
    if (lf != std::string_view::npos) return at + lf + 1;
    at += got;
  }
  return size;
}

std::string PartialSplitter::fragmentHeader(int number) const {
  const std::string suffix = " [" + std::to_string(number) + "/" + std::to_string(fragmentCount()) + "]";
  std::string out;
  for (const std::string_view line : logicalLines(header_)) {
    if (core::startsWithIgnoringAsciiCase(line, "Message-Id:")) continue;
    if (core::startsWithIgnoringAsciiCase(line, "Content-Type")) {
      out += "Content-Type: message/partial; total=" + std::to_string(fragmentCount()) +
             "; number=" + std::to_string(number) + "; id=\"" + quotedContent(id_) + "\"\r\n";
      continue;
    }
    out += line;
    if (core::startsWithIgnoringAsciiCase(line, "Subject:")) out += suffix;
    out += "\r\n";
  }
  return out + "\r\n";
}

bool PartialSplitter::copyBody(ByteSink& out, std::uint64_t from, std::uint64_t to) const {
  std::ifstream body(platform::nativePath(bodyPath_), std::ios::binary);
  if (!body || !body.seekg(static_cast<std::streamoff>(from))) return false;
  std::string block(kBlock, '\0');
  while (from < to) {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), to - from));
    body.read(block.data(), static_cast<std::streamsize>(want));
    if (static_cast<std::size_t>(body.gcount()) != want) return false;
    if (!out.write(std::string_view(block.data(), want))) return false;
    from += want;
  }
  return true;
}

bool PartialSplitter::makeFragment(std::string_view headerOut, std::string_view bodyOut) {
  if (done()) return false;
  const int number = nextNumber();
  const std::uint64_t from = next_ == 0 ? 0 : cuts_[next_ - 1];
  FileByteSink header(headerOut, FileByteSink::Mode::truncate);
  if (!header.isOpen()) {
    messages_->error(MessageNumber::TemporaryFileNotCreated, {headerOut});
    return false;
  }
  FileByteSink body(bodyOut, FileByteSink::Mode::truncate);
  if (!body.isOpen()) {
    messages_->error(MessageNumber::TemporaryFileNotCreated, {bodyOut});
    return false;
  }
  const bool written = header.write(fragmentHeader(number)) && (number != 1 || body.write(header_)) &&
                       copyBody(body, from, cuts_[next_]) && header.close() && body.close();
  if (!written) {
    messages_->error(MessageNumber::DiskFull);
    return false;
  }
  ++next_;
  return true;
}

}  // namespace zorvik::message
