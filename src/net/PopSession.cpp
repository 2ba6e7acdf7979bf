#include "net/PopSession.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "net/PopSocket.h"

namespace zorvik::net {

using core::MessageNumber;

namespace {

constexpr auto kPumpInterval = std::chrono::milliseconds(5);

}  // namespace

PopSession::PopSession(core::Messages& messages, MailServerTray& tray, ReceivedMailSink& sink,
                       std::unique_ptr<PopTransport> transport, PopLimits limits)
    : messages_(messages),
      tray_(tray),
      background_(sink),
      transport_(transport ? std::move(transport) : std::make_unique<PopSocket>()),
      limits_(limits) {}

PopSession::~PopSession() { stop(true); }

bool PopSession::start(PopOwner& owner, const PopSettings& settings) {
  if (!finished_.load()) return false;
  if (worker_.joinable()) worker_.join();
  {
    const std::lock_guard lock(mutex_);
    owner_ = &owner;
    ready_ = false;
    request_ = {};
    ending_ = Ending::None;
  }
  held_.clear();
  abort_ = false;
  background_.clearRefusal();
  protocol_ = std::make_unique<PopProtocol>(settings.account, tray_, background_, limits_);
  protocol_->setStateObserver([this](PopState from, PopState to) { observeState(from, to); });
  connection_ = std::make_unique<PopConnection>(*transport_, messages_, abort_, zeroReads_);
  connection_->setTimeouts(settings.sendTimeoutSeconds, settings.receiveTimeoutSeconds);
  connection_->setTls(settings.tls);
  state_ = static_cast<int>(PopState::Connecting);
  finished_ = false;
  worker_ = std::thread([this, settings] { run(settings); });
  return true;
}

void PopSession::setOwner(PopOwner& owner) {
  const std::lock_guard lock(mutex_);
  owner_ = &owner;
}

PopOwner* PopSession::owner() const {
  const std::lock_guard lock(mutex_);
  return owner_;
}

void PopSession::observeState(PopState from, PopState to) {
  state_ = static_cast<int>(to);
  if (stateLog_)
    stateLog_("from " + std::string(popStateName(from)) + " to " + std::string(popStateName(to)));
}

// ---- Owner's commands ----

bool PopSession::validIndex(int index) const {
  return protocol_ && index >= 0 && index < static_cast<int>(protocol_->entries().size()) &&
         protocol_->entries()[static_cast<std::size_t>(index)].addressable();
}

bool PopSession::request(Request next, std::optional<MessageNumber> refusal) {
  {
    std::unique_lock lock(mutex_);
    const bool accepted = ready_ && request_.command == Command::None && ending_ == Ending::None &&
                          (next.command == Command::List ||
                           (next.command == Command::FetchMany
                                ? std::all_of(next.orders.begin(), next.orders.end(),
                                              [this](const FetchOrder& order) { return validIndex(order.index); })
                                : validIndex(next.index)));
    if (accepted && next.command == Command::Fetch && !protocol_->reserveFor(next.index)) {
      lock.unlock();
      messages_.error(MessageNumber::PopOutOfMemory);
      return false;
    }
    if (accepted) {
      if (next.command == Command::FetchMany) cancelFetches_ = false;
      request_ = std::move(next);
      ready_ = false;
      wake_.notify_one();
      return true;
    }
  }
  if (refusal) messages_.error(*refusal);
  return false;
}

bool PopSession::list(ListMode mode) { return request({Command::List, mode, -1}, std::nullopt); }
bool PopSession::fetch(int index) {
  return request({Command::Fetch, ListMode::All, index}, MessageNumber::PopFetchRefused);
}
bool PopSession::fetchHeaderOnly(int index) {
  return request({Command::FetchHeader, ListMode::All, index}, MessageNumber::PopFetchRefused);
}
bool PopSession::fetchMany(std::vector<FetchOrder> orders) {
  return request({Command::FetchMany, ListMode::All, -1, std::move(orders)}, MessageNumber::PopFetchRefused);
}
bool PopSession::deleteMail(int index) {
  return request({Command::Delete, ListMode::All, index}, MessageNumber::PopDeleteRefused);
}

void PopSession::stop(bool abort) {
  if (worker_.joinable()) {
    // Before the login there is nothing to QUIT, and a server that never
    // greets would keep the worker reconnecting for ever.
    if (abort || isBeforeLogin(state())) abort_ = true;
    {
      const std::lock_guard lock(mutex_);
      ending_ = abort ? Ending::Abort : Ending::Quit;
      wake_.notify_one();
    }
    // The worker may be showing a message, which waits for this thread.
    while (!finished_.load()) {
      messages_.pump();
      std::this_thread::sleep_for(kPumpInterval);
    }
    worker_.join();
    messages_.pump();
  }
  protocol_.reset();
  connection_.reset();
  state_ = static_cast<int>(PopState::Idle);
}

// ---- Reading between notifications ----

int PopSession::count() const { return protocol_ ? static_cast<int>(protocol_->entries().size()) : 0; }
const ServerMailEntry& PopSession::entry(int index) const {
  return protocol_->entries().at(static_cast<std::size_t>(index));
}
const std::vector<ServerMailEntry>& PopSession::entries() const {
  static const std::vector<ServerMailEntry> none;
  return protocol_ ? protocol_->entries() : none;
}
int PopSession::newCount() const { return protocol_ ? protocol_->newCount() : 0; }
int PopSession::unreadCount() const { return protocol_ ? protocol_->unreadCount() : 0; }
int PopSession::receivedCount() const { return protocol_ ? protocol_->receivedCount() : 0; }
bool PopSession::hasUnsavedAttachment(int index) const {
  return validIndex(index) && protocol_->hasUnsavedAttachment(index);
}
const std::vector<std::string>& PopSession::capabilities() const {
  static const std::vector<std::string> none;
  return protocol_ ? protocol_->capabilities() : none;
}
const TlsStream* PopSession::tls() const { return connection_ ? connection_->tls() : nullptr; }
const std::optional<TlsFailure>& PopSession::tlsFailure() const {
  static const std::optional<TlsFailure> none;
  return connection_ ? connection_->tlsFailure() : none;
}
const std::string& PopSession::receptionBuffer() const {
  static const std::string none;
  return protocol_ ? protocol_->receptionBuffer() : none;
}
void PopSession::markReceived(int index) {
  // Only while the worker waits or after it has ended: it may be using the
  // tray otherwise. After a failure the owner still marks what it stored,
  // so that the next session does not fetch it again.
  const std::lock_guard lock(mutex_);
  if ((ready_ || finished_.load()) && validIndex(index)) protocol_->markReceived(index);
}
void PopSession::markDeleted(int index) {
  const std::lock_guard lock(mutex_);
  if (ready_ && validIndex(index)) protocol_->markDeleted(index);
}

// ---- Worker ----

void PopSession::deliver(std::vector<PopProtocol::Event> events) {
  // What ends a step must reach the owner only once the worker waits for
  // the next command, or the owner's answer to it would be refused.
  if (protocol_->state() == PopState::Ready) {
    held_.insert(held_.end(), events.begin(), events.end());
    return;
  }
  PopOwner* target = owner();
  for (const PopProtocol::Event& event : events)
    if (target) target->notify(event.code, event.value);
}

void PopSession::deliverHeld() {
  PopOwner* target = owner();
  for (const PopProtocol::Event& event : std::exchange(held_, {}))
    if (target) target->notify(event.code, event.value);
}

bool PopSession::exchange() {
  for (;;) {
    if (cancelFetches_.exchange(false)) protocol_->stopFetches();
    deliver(protocol_->takeEvents());
    if (protocol_->failure()) return false;
    // Commands asked for together (pipelined ones) go out in one write.
    std::string commands;
    for (const std::string& command : protocol_->takeCommands()) commands += command;
    if (!commands.empty() && !connection_->sendCommand(commands)) return false;
    if (protocol_->wantsTls()) {
      if (!connection_->startTls()) {
        protocol_->connectionLost();
        return false;
      }
      protocol_->tlsStarted();
      continue;
    }
    if (!protocol_->awaitingReply()) return true;
    // Further TOP commands go out only while the server has not begun to
    // answer; once it has, its answers are read first.
    if (protocol_->canPipelineMore() && connection_->bytesWaiting() == 0) {
      protocol_->pipelineMore();
      continue;
    }
    std::string lines;
    if (!connection_->readReply(protocol_->stepCode(), lines)) {
      if (connection_->overflowed()) protocol_->lineTooLong();
      else protocol_->connectionLost();
      return false;
    }
    protocol_->receive(lines);
  }
}

void PopSession::apply(const Request& next) {
  switch (next.command) {
    case Command::List: protocol_->list(next.mode); break;
    case Command::Fetch: protocol_->fetch(next.index, false); break;
    case Command::FetchHeader: protocol_->fetch(next.index, true); break;
    case Command::FetchMany: protocol_->fetchMany(next.orders); break;
    case Command::Delete: protocol_->deleteMail(next.index); break;
    case Command::None: break;
  }
}

void PopSession::finish(std::vector<PopProtocol::Event> last) {
  // Marked finished before the owner hears the end, so that a new start()
  // made in answer to it is not refused as busy; the worker touches nothing
  // of the session after this but the owner.
  background_.flush();
  PopOwner* target = owner();
  finished_ = true;
  for (const PopProtocol::Event& event : last)
    if (target) target->notify(event.code, event.value);
}

void PopSession::endOnError() {
  connection_->close();
  deliver(protocol_->takeEvents());
  held_.clear();
  if (protocol_->failure() && protocol_->failure()->message)
    messages_.error(*protocol_->failure()->message, {protocol_->failure()->text});
  observeState(protocol_->state(), PopState::Idle);
  // The ".uid" file learns the copies this session made, or the next one
  // would take the mails fetched before the failure for new ones.
  protocol_->finishStop();
  finish({{PopNotification::Ended, 0}});
}

void PopSession::quit() {
  protocol_->quit();
  for (const std::string& command : protocol_->takeCommands()) connection_->sendCommand(command);
  // The answer to QUIT changes nothing: whatever it says, or if it never
  // comes, the connection is closed and the bookkeeping brought up to date.
  std::string lines;
  if (!connection_->failed() && connection_->readReply(protocol_->stepCode(), lines)) protocol_->receive(lines);
  connection_->close();
  protocol_->finishQuit();
  finish(protocol_->takeEvents());
}

void PopSession::run(PopSettings settings) {
  std::string greeting;
  const bool opened = connection_->open(settings.host, settings.port, greeting);
  if (opened) protocol_->greet(greeting);
  if (!opened || !exchange()) {
    if (!opened && connection_->overflowed()) protocol_->lineTooLong();
    endOnError();
    return;
  }
  for (;;) {
    background_.flush();
    {
      const std::lock_guard lock(mutex_);
      ready_ = true;
    }
    deliverHeld();
    Request next;
    Ending ending = Ending::None;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return request_.command != Command::None || ending_ != Ending::None; });
      ready_ = false;
      ending = ending_;
      next = std::exchange(request_, {});
    }
    if (ending == Ending::Quit) return quit();
    if (ending == Ending::Abort) {
      connection_->close();
      protocol_->finishStop();
      return finish({});
    }
    apply(next);
    if (!exchange()) return endOnError();
  }
}

}  // namespace zorvik::net
