#include "mailflow/WorkFileSink.h"

#include "mailflow/ServerMailOrigin.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "message/OversizeMail.h"
#include "platform/FileSystem.h"

namespace zorvik::mailflow {
namespace {

class StringSink final : public message::ByteSink {
public:
  explicit StringSink(std::string& text) : text_(text) {}
  bool write(std::string_view bytes) override {
    text_.append(bytes);
    return true;
  }

private:
  std::string& text_;
};

bool syncPath(const std::string& sjisPath, int flags) {
  const int fd = ::open(platform::nativePath(sjisPath).c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

}  // namespace

WorkFileSink::WorkFileSink(std::string workFilePath, message::MimeDecoderSettings decoding,
                           core::Messages& messages)
    : path_(std::move(workFilePath)), decoding_(std::move(decoding)), messages_(messages) {}

WorkFileSink::~WorkFileSink() { close(); }

void WorkFileSink::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool WorkFileSink::open() {
  if (fd_ >= 0) return true;
  platform::makeDirectories(platform::directoryOf(path_));
  fd_ = ::open(platform::nativePath(path_).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

bool WorkFileSink::beginMail(int entryIndex, const net::ServerMailEntry& entry, bool headerOnly) {
  entryIndex_ = entryIndex;
  headerOnly_ = headerOnly;
  separator_ = ServerMailOrigin::separator(entry);
  received_.clear();
  return true;
}

bool WorkFileSink::appendMail(std::string_view bytes) {
  received_.append(bytes);
  return true;
}

bool WorkFileSink::endMail() {
  if (headerOnly_) received_ = message::OversizeMail::withNotice(received_);
  std::string text = separator_;
  message::MimeDecoder decoder(decoding_, messages_, folderNumbers_);
  StringSink output(text);
  if (!decoder.decode(output, received_) || !writeMail(text)) {
    // The attachments of a mail that is not stored refer to nothing.
    decoder.savedFiles().deleteAll();
    return false;
  }
  warnings_.insert(warnings_.end(), decoder.warnings().begin(), decoder.warnings().end());
  lastIncomplete_ = decoder.mailNotComplete();
  if (lastIncomplete_) incompleteMails_.push_back(entryIndex_);
  ++mailCount_;
  received_.clear();
  return true;
}

bool WorkFileSink::writeMail(std::string_view text) {
  if (!open()) {
    writeFailed_ = true;
    return false;
  }
  const off_t start = ::lseek(fd_, 0, SEEK_END);
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // Half a mail would read back as a damaged one; without it the
      // mail is simply not received and stays on the server.
      if (start >= 0 && ::ftruncate(fd_, start) != 0) close();
      writeFailed_ = true;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool WorkFileSink::makeDurable() {
  if (fd_ < 0) return mailCount_ == 0;
  if (::fsync(fd_) != 0) return false;
  // A new file's name must reach the disk too, or a power cut could leave
  // its data with no name to find it by.
  if (!directorySynced_) directorySynced_ = syncPath(platform::directoryOf(path_), O_RDONLY | O_DIRECTORY);
  return directorySynced_;
}

}  // namespace zorvik::mailflow
