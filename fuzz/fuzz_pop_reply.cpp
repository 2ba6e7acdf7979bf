// Feeds arbitrary bytes as a POP3 server's side of a conversation: the first
// byte picks the account, the listing mode and whether the mails are fetched
// one by one or together (pipelined, maybe stopped), the second how the stream is cut
// into reads; the rest goes through the reply reader into the dialogue,
// which is driven the way the receive command drives it (list, fetch what is
// to be fetched, delete, quit).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "net/MailServerTray.h"
#include "net/PopProtocol.h"
#include "net/PopReplyReader.h"
#include "net/ReceivedMailSink.h"

namespace {

using namespace zorvik::net;

class Tray : public MailServerTray {
public:
  void beginListing() override {}
  std::string headerKey(std::string_view header, int size) override {
    return std::string(header.substr(0, 64)) + std::to_string(size);
  }
  Match find(const std::string& key, int ordinal) override {
    for (std::size_t i = 0; i < keys_.size(); ++i)
      if (keys_[i] == key && ordinal-- == 0) return {CopyState::Unread, static_cast<int>(i)};
    return {};
  }
  int append(std::string_view header, int size) override {
    if (keys_.size() > 1000) return -1;
    keys_.push_back(headerKey(header, size));
    return static_cast<int>(keys_.size()) - 1;
  }
  CopyState stateAt(int index) override {
    return index >= 0 && index < static_cast<int>(keys_.size()) ? CopyState::Received : CopyState::Missing;
  }
  void markPresent(int) override {}
  void markReceived(int) override {}
  bool hasUnsavedAttachment(int) override { return false; }
  void remove(int) override {}
  std::vector<int> compact() override { return {}; }
  // Not a writable place: the ".uid" file is neither read nor written.
  std::string uidFilePath() const override { return "/dev/null/fuzz.uid"; }

private:
  std::vector<std::string> keys_;
};

class Sink : public ReceivedMailSink {
public:
  bool beginMail(int, const ServerMailEntry&, bool) override { return true; }
  bool appendMail(std::string_view) override { return true; }
  bool endMail() override { return true; }
  bool makeDurable() override { return true; }
};

// The owner's next command once the dialogue is ready again: the mails one
// by one, or (`many`) all of them in one fetchMany(), pipelined when the
// server says PIPELINING; then a DELE and QUIT.
void nextCommand(PopProtocol& protocol, int& step, bool headerOnly, bool many) {
  const auto& entries = protocol.entries();
  if (step == 0) {
    ++step;
    protocol.list(static_cast<ListMode>(step % 3));
    return;
  }
  if (many && step < 100) {
    step = 100;
    std::vector<FetchOrder> orders;
    for (std::size_t i = 0; i < entries.size() && orders.size() < 8; ++i)
      if (entries[i].fetch && entries[i].addressable()) orders.push_back({static_cast<int>(i), headerOnly && i % 2 == 0});
    if (!orders.empty()) return protocol.fetchMany(std::move(orders));
  }
  while (step - 1 < static_cast<int>(entries.size()) && step - 1 < 8) {
    const int index = step++ - 1;
    if (!entries[static_cast<std::size_t>(index)].fetch || !entries[static_cast<std::size_t>(index)].addressable())
      continue;
    if (protocol.reserveFor(index)) protocol.fetch(index, headerOnly);
    return;
  }
  if (step < 100 && !entries.empty() && entries[0].addressable()) {
    step = 100;
    protocol.deleteMail(0);
    return;
  }
  step = 200;
  protocol.quit();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t flags = data[0];
  const std::size_t piece = 1 + data[1] % 32;
  const std::string_view stream(reinterpret_cast<const char*>(data + 2), size - 2);

  Tray tray;
  Sink sink;
  PopAccount account{"user", "secret", (flags & 1) != 0, (flags & 2) != 0};
  account.useStls = (flags & 8) != 0;
  account.useAuthPlain = (flags & 16) != 0;
  account.askCapabilities = (flags & 32) != 0;
  PopLimits limits;
  limits.maxMailBytes = 1u << 16;
  limits.maxHeaderBytes = 1u << 14;
  limits.maxMails = 1000;
  limits.maxTopInFlight = 1 + flags % 5;
  PopProtocol protocol(account, tray, sink, limits);
  PopReplyReader reader(4096);

  bool greeted = false;
  int step = 0;
  std::string lines;
  for (std::size_t at = 0; at < stream.size() && !protocol.failure(); at += piece) {
    const PopReplyReader::Result result = reader.feed(stream.substr(at, piece), lines);
    if (result == PopReplyReader::Result::Overflow) {
      protocol.lineTooLong();
      break;
    }
    if (result == PopReplyReader::Result::Partial) continue;
    if (!greeted) {
      greeted = true;
      protocol.greet(lines);
    } else {
      protocol.receive(lines);
    }
    if (protocol.wantsTls()) protocol.tlsStarted();
    while (protocol.canPipelineMore()) protocol.pipelineMore();
    if (protocol.state() == PopState::Ready) nextCommand(protocol, step, (flags & 4) != 0, (flags & 64) != 0);
    // A stop in the middle of fetchMany(), as a user's cancel would come.
    if ((flags & 128) != 0 && step == 100 && at > stream.size() / 2) protocol.stopFetches();
    if (protocol.state() == PopState::Quitting && !protocol.awaitingReply()) break;
    protocol.takeCommands();
    protocol.takeEvents();
  }
  if (protocol.state() == PopState::Quitting) protocol.finishQuit();
  return 0;
}
