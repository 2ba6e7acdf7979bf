#include "platform/LineReader.h"

#include <fstream>
#include <sstream>

#include "platform/FileSystem.h"

namespace zorvik::platform {

LineReader LineReader::openFile(std::string_view path) {
  // A directory opens as a stream on Linux and reads as empty: refuse it here.
  if (!isRegularFile(path)) return LineReader(nullptr);
  return LineReader(std::make_unique<std::ifstream>(nativePath(path), std::ios::binary));
}

LineReader LineReader::fromText(std::string text) {
  return LineReader(std::make_unique<std::istringstream>(std::move(text)));
}

bool LineReader::isOpen() const { return in_ && !in_->fail(); }

bool LineReader::next(std::string& line) {
  if (!in_ || !std::getline(*in_, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  ++lineNumber_;
  return true;
}

}  // namespace zorvik::platform
