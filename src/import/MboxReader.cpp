#include "import/MboxReader.h"

#include <cctype>
#include <fstream>
#include <vector>

#include "platform/FileSystem.h"

namespace zorvik::import {
namespace {

constexpr std::string_view kFrom = "From ";
constexpr std::size_t kBlockSize = 1 << 20;

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// "9:30" or "09:30" somewhere in `text`.
bool holdsTime(std::string_view text) {
  for (std::size_t colon = text.find(':'); colon != std::string_view::npos; colon = text.find(':', colon + 1)) {
    if (colon > 0 && isDigit(text[colon - 1]) && colon + 2 < text.size() && isDigit(text[colon + 1]) &&
        isDigit(text[colon + 2]))
      return true;
  }
  return false;
}

// A run of exactly four digits standing alone.
bool holdsYear(std::string_view text) {
  std::size_t run = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && isDigit(text[i])) {
      ++run;
      continue;
    }
    const bool alone = run == 4 && (i == text.size() || text[i] == ' ' || text[i] == '\t');
    if (alone && (i == 4 || text[i - 5] == ' ' || text[i - 5] == '\t')) return true;
    run = 0;
  }
  return false;
}

}  // namespace

bool MboxReader::isSeparator(std::string_view line) {
  if (!line.starts_with(kFrom)) return false;
  std::string_view rest = line.substr(kFrom.size());
  const auto firstText = rest.find_first_not_of(" \t");
  if (firstText == std::string_view::npos) return true;  // the intermediate mailbox's bare "From "
  rest.remove_prefix(firstText);
  const auto afterSender = rest.find_first_of(" \t");
  if (afterSender == std::string_view::npos) return false;
  rest.remove_prefix(afterSender);
  return holdsTime(rest) && holdsYear(rest);
}

bool MboxReader::feed(std::string_view bytes) {
  if (ended_) return false;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t lf = bytes.find('\n', at);
    if (lf == std::string_view::npos) {
      partial_.append(bytes.substr(at));
      // Text that cannot begin a mailbox is refused before it is gathered.
      if (!inMail_ && partial_.size() >= kFrom.size() && !partial_.starts_with(kFrom)) {
        end_ = ReadEnd::Damaged;
        ended_ = true;
      }
      return !ended_;
    }
    std::string_view line = bytes.substr(at, lf - at);
    if (!partial_.empty()) {
      partial_.append(line);
      line = partial_;
    }
    if (line.ends_with('\r')) line.remove_suffix(1);
    const bool goOn = takeLine(line);
    partial_.clear();
    if (!goOn) return false;
    at = lf + 1;
  }
  return true;
}

bool MboxReader::takeLine(std::string_view line) {
  const bool separator = afterEmpty_ && isSeparator(line);
  afterEmpty_ = line.empty();
  if (separator) {
    if (inMail_ && !handOver()) return false;
    inMail_ = true;
    return true;
  }
  if (inMail_) {
    mail_.addLine(line);
    return true;
  }
  if (line.empty()) return true;
  end_ = ReadEnd::Damaged;
  ended_ = true;
  return false;
}

bool MboxReader::handOver() {
  if (mail_.blank()) {
    mail_.take();
    return true;
  }
  if (each_(mail_.take())) return true;
  end_ = ReadEnd::Stopped;
  ended_ = true;
  return false;
}

ReadEnd MboxReader::finish() {
  if (ended_) return end_;
  if (!partial_.empty()) {
    std::string line;
    line.swap(partial_);
    if (line.ends_with('\r')) line.pop_back();
    if (!takeLine(line)) return end_;
  }
  ended_ = true;
  if (inMail_) handOver();
  return end_;
}

ReadEnd MboxReader::readFile(std::string_view path, const MailHandler& each) {
  std::ifstream in(platform::nativePath(path), std::ios::binary);
  if (!in) return ReadEnd::Unreadable;
  MboxReader reader(each);
  std::vector<char> block(kBlockSize);
  while (in) {
    in.read(block.data(), static_cast<std::streamsize>(block.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got > 0 && !reader.feed(std::string_view(block.data(), got))) return reader.end();
  }
  if (in.bad()) return ReadEnd::Unreadable;
  return reader.finish();
}

}  // namespace zorvik::import
