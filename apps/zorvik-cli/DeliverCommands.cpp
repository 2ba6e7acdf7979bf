// deliver [--tray T] FILE...: raw mails taken the way a receive takes them:
// MIME-decoded into the new-mail work file, then moved into the new-mail
// tray (or T).
#include <ctime>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "CliStore.h"
#include "message/FileByteSink.h"
#include "message/MailRecordParser.h"
#include "message/MimeDecoder.h"
#include "message/SavedFileList.h"
#include "platform/FileSystem.h"
#include "store/TrayAttachments.h"
#include "store/TrayFile.h"
#include "store/WorkFileAppender.h"

namespace zorvik::cli {
namespace {

constexpr int kNewMailTrayItem = 203;
// The line that starts every mail in the work file.
constexpr std::string_view kWorkFileSeparator = "From  \r\n";

class StringSink : public message::ByteSink {
public:
  bool write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

std::string belowTopCabinet(const store::StoreLocation& location, const std::string& path) {
  return platform::isFullPath(path) ? path : platform::joinPath(location.topCabinetPath(), path);
}

struct DeliverArguments {
  std::string tray;
  std::vector<std::string> files;
};

std::optional<DeliverArguments> parseArguments(const std::vector<std::string>& args) {
  DeliverArguments parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--tray" && i + 1 < args.size()) {
      parsed.tray = args[++i];
    } else {
      parsed.files.push_back(args[i]);
    }
  }
  if (parsed.files.empty()) return std::nullopt;
  return parsed;
}

// Decodes one mail file and appends it to the work file. False when the
// file cannot be read, decoding failed (its message was shown) or the work
// file refused the text.
bool decodeInto(CliContext& context, const message::MimeDecoderSettings& settings, const std::string& file,
                const std::string& workFile) {
  const auto raw = platform::readFile(file);
  if (!raw) {
    context.status("zorvik-cli: cannot read " + file);
    return false;
  }
  message::MimeDecoder decoder(settings, context.messages());
  StringSink stored;
  if (!decoder.decode(stored, message::MimeDecoder::wireForm(*raw))) return false;
  message::FileByteSink sink(workFile, message::FileByteSink::Mode::append);
  const bool written = sink.write(kWorkFileSeparator) && sink.write(stored.text) && sink.close();
  if (!written) context.status("zorvik-cli: cannot write the work file " + workFile);
  return written;
}

int deliver(CliContext& context) {
  const auto arguments = parseArguments(context.args());
  if (!arguments) return context.usage("usage: deliver [--tray T] FILE...");
  core::SettingsFile* settings = context.rawSettings();
  if (!settings) return kFailed;
  const store::StoreLocation location = storeOf(context, *settings);
  const std::string trayName = arguments->tray.empty() ? settings->text(kNewMailTrayItem) : arguments->tray;
  const store::TrayFile tray(location, trayName);
  if (!tray.exists()) {
    context.status("zorvik-cli: no tray " + trayName);
    return kFailed;
  }

  message::MimeDecoderSettings decoding = message::MimeDecoderSettings::fromSettings(*settings);
  decoding.attachmentRoot = store::TrayAttachments::root(location, trayName);
  const auto& work = settings->workingDirectories();
  decoding.workDirectory = belowTopCabinet(location, work.workDirectory);
  const std::string workFile = belowTopCabinet(location, work.newMailWorkFile);
  platform::makeDirectories(platform::directoryOf(workFile));

  // A mail that cannot be decoded is left out with the files saved for it;
  // the others are stored all the same.
  auto& saved = message::SavedFileList::instance();
  bool allDecoded = true;
  for (const auto& file : arguments->files) {
    const bool decoded = decodeInto(context, decoding, file, workFile);
    if (!decoded) saved.deleteAll();
    saved.clear();
    allDecoded = allDecoded && decoded;
  }
  if (!platform::pathExists(workFile)) return kFailed;
  const message::MailRecordParser parser(message::ParseContext::fromSettings(*settings, std::time(nullptr)));
  const auto result = store::WorkFileAppender::append(workFile, tray, parser);
  if (!result) {
    context.status("zorvik-cli: the work file " + workFile + " could not be moved into " + trayName);
    return kFailed;
  }
  for (std::uint32_t i = 0; i < result->appended; ++i) context.printRow({std::to_string(result->firstIndex + i)});
  return allDecoded ? kDone : kFailed;
}

}  // namespace

ZORVIK_CLI_COMMAND("deliver", "[--tray T] FILE...", deliver);

}  // namespace zorvik::cli
