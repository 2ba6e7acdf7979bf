#include "message/FileByteSink.h"

#include "platform/FileSystem.h"

namespace zorvik::message {

FileByteSink::FileByteSink(std::string_view sjisPath, Mode mode)
    : file_(std::fopen(platform::nativePath(sjisPath).c_str(), mode == Mode::append ? "ab" : "wb")) {}

FileByteSink::~FileByteSink() { close(); }

bool FileByteSink::write(std::string_view bytes) {
  if (file_ == nullptr) return false;
  return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

bool FileByteSink::close() {
  if (file_ == nullptr) return false;
  const bool ok = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok;
}

}  // namespace zorvik::message
