#include "mailflow/StoreLock.h"

#include <unistd.h>

#include <array>
#include <string_view>

#include "mailflow/Document.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

namespace zorvik::mailflow {

using core::MessageNumber;

namespace {

struct WorkName {
  StoreWork work;
  std::string_view key;   // written into the lock file, ASCII
  const char* shown;      // what the message names, UTF-8
};

constexpr std::array<WorkName, 9> kWorkNames{{
    {StoreWork::Receive, "receive", "受信"},
    {StoreWork::Send, "send", "送信"},
    {StoreWork::SendReceive, "sendrecv", "送受信"},
    {StoreWork::ServerTray, "server", "メールサーバの操作"},
    {StoreWork::Deliver, "deliver", "メールの取り込み"},
    {StoreWork::Sort, "sort", "振り分け"},
    {StoreWork::Compact, "compact", "トレイの圧縮"},
    {StoreWork::Recover, "recover", "作業用ファイルの回復"},
    {StoreWork::StoreChange, "store", "トレイの操作"},
}};

const WorkName& nameOf(StoreWork work) {
  for (const WorkName& name : kWorkNames)
    if (name.work == work) return name;
  return kWorkNames.back();
}

const WorkName* nameOf(std::string_view key) {
  for (const WorkName& name : kWorkNames)
    if (name.key == key) return &name;
  return nullptr;
}

bool talksToServer(StoreWork work) {
  return work == StoreWork::Receive || work == StoreWork::Send || work == StoreWork::SendReceive ||
         work == StoreWork::ServerTray;
}

// The lock file holds "<key> <pid>"; an older or foreign text is shown as it is.
void reportHolder(const Document& document, StoreWork wanted, const std::string& holder) {
  const std::string key = holder.substr(0, holder.find(' '));
  const WorkName* held = nameOf(key);
  if (held && talksToServer(held->work) && talksToServer(wanted)) {
    const bool receiving = wanted == StoreWork::Receive || wanted == StoreWork::ServerTray;
    document.messages().error(receiving ? MessageNumber::ReceiveRunning : MessageNumber::ServerCommandRunning);
    return;
  }
  const std::string process = holder.size() > key.size() ? " pid" + holder.substr(key.size()) : std::string();
  // A holder caught in the instant before it wrote its name is simply
  // "another Zorvik".
  const std::string shown = held              ? platform::sjisLiteral(held->shown) + process
                            : holder.empty() ? platform::sjisLiteral("別のZorvik")
                                             : platform::utf8ToSjis(holder, "?");
  document.messages().error(MessageNumber::OtherWorkRunning, {shown});
}

}  // namespace

std::optional<StoreLock> StoreLock::tryTake(const Document& document, StoreWork work) {
  platform::ProcessLock::Refusal refusal;
  return attempt(document, work, refusal);
}

std::optional<StoreLock> StoreLock::attempt(const Document& document, StoreWork work,
                                            platform::ProcessLock::Refusal& refusal) {
  const std::string holder = std::string(nameOf(work).key) + " " + std::to_string(::getpid());
  auto lock = platform::ProcessLock::take(pathOf(document), holder, &refusal);
  if (!lock) return std::nullopt;
  return StoreLock(std::move(*lock));
}

std::string StoreLock::pathOf(const Document& document) {
  return platform::joinPath(document.store().topCabinetPath(), ".lock");
}

std::optional<StoreLock> StoreLock::take(const Document& document, StoreWork work) {
  platform::ProcessLock::Refusal refusal;
  auto lock = attempt(document, work, refusal);
  if (lock) return lock;
  if (refusal.held) reportHolder(document, work, refusal.holder);
  else document.messages().error(MessageNumber::NoStore, {document.store().topCabinetPath()});
  return std::nullopt;
}

}  // namespace zorvik::mailflow
