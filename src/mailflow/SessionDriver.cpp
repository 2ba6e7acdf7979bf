#include "mailflow/SessionDriver.h"

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"

namespace zorvik::mailflow {

using core::MessageNumber;

namespace {

constexpr std::chrono::milliseconds kImmediateAutoSend{50};

}  // namespace

DriverSettings DriverSettings::fromSettings(const core::SettingsFile& settings) {
  DriverSettings driver;
  driver.popBeforeSmtp = settings.flag(core::item::kPopBeforeSmtp);
  driver.popBeforeSmtpWaitSeconds = settings.number(core::item::kPopBeforeSmtpWait);
  driver.checkIntervalSeconds = settings.number(core::item::kCheckInterval);
  driver.autoSendDelaySeconds = settings.number(core::item::kAutoSendDelay);
  driver.popAccountComplete = !settings.text(core::item::kPopServer).empty() &&
                              !settings.text(core::item::kPopUser).empty() &&
                              !settings.plainPassword(core::item::kPopPassword).empty();
  return driver;
}

SessionDriver::SessionDriver(net::EventLoop& loop, core::Messages& messages, SendPhase& send,
                             const SentMailPlacement& placement, DriverSettings settings, Receiver* receiver)
    : loop_(loop), messages_(messages), send_(send), placement_(placement), settings_(settings), receiver_(receiver) {}

SessionDriver::~SessionDriver() { loop_.stopTimer(wait_); }

bool SessionDriver::run(Command command, Finished finished) {
  if (running_) {
    messages_.information(MessageNumber::ServerCommandRunning);
    return false;
  }
  running_ = true;
  aborted_ = false;
  stopping_ = false;
  sendDone_ = false;
  loginOnly_ = command == Command::Send && settings_.popBeforeSmtp && settings_.popAccountComplete && receiver_ != nullptr;
  receiveDone_ = (command == Command::Send && !loginOnly_) || receiver_ == nullptr;
  receiveFirst_ = !receiveDone_ && (loginOnly_ || receiver_->connectionOpen() || settings_.popBeforeSmtp);
  result_ = RunResult{};
  finished_ = std::move(finished);
  if (receiveFirst_) {
    startReceive();
  } else {
    startSend();
  }
  return true;
}

void SessionDriver::abort() {
  if (!running_ || aborted_) return;
  aborted_ = true;
  switch (phase_) {
    case Phase::Sending:
      send_.abort();
      return;
    case Phase::Receiving:
      receiver_->abort();
      return;
    case Phase::Waiting:
    case Phase::None:
      loop_.stopTimer(wait_);
      wait_ = loop_.startTimer(std::chrono::milliseconds(0), [this] {
        wait_ = 0;
        finish();
      });
      return;
  }
}

void SessionDriver::stopAfterCurrentMail() {
  if (!running_ || stopping_) return;
  stopping_ = true;
  // A receive phase watches the front end's stop request itself.
  if (phase_ == Phase::Sending) send_.stopAfterCurrentMail();
  if (phase_ == Phase::Waiting) abort();
}

void SessionDriver::startSend() {
  phase_ = Phase::Sending;
  send_.start([this](const SendResult& result) { sendFinished(result); });
}

void SessionDriver::startReceive() {
  phase_ = Phase::Receiving;
  auto finished = [this](std::size_t received, bool failed) { receiveFinished(received, failed); };
  if (loginOnly_) receiver_->logIn(std::move(finished));
  else receiver_->start(std::move(finished));
}

// Sent mails are placed at once, so that a long receive afterwards (or a
// failure in it) cannot leave them in the unsent tray to be sent again.
void SessionDriver::sendFinished(const SendResult& result) {
  sendDone_ = true;
  result_.send = result;
  if (!result.sent.empty()) {
    result_.bits |= kMailSent;
    result_.placement = placement_.place(result.sent);
  }
  if (aborted_ || stopping_ || receiveDone_) return finish();
  startReceive();
}

void SessionDriver::receiveFinished(std::size_t received, bool failed) {
  receiveDone_ = true;
  result_.received = received;
  result_.receiveFailed = failed;
  if (received > 0) result_.bits |= kMailReceived;
  if (aborted_ || stopping_ || sendDone_) return finish();
  if (failed && settings_.popBeforeSmtp) return finish();
  if (!settings_.popBeforeSmtp || settings_.popBeforeSmtpWaitSeconds <= 0) return startSend();
  phase_ = Phase::Waiting;
  wait_ = loop_.startTimer(std::chrono::seconds(settings_.popBeforeSmtpWaitSeconds), [this] {
    wait_ = 0;
    startSend();
  });
}

void SessionDriver::finish() {
  phase_ = Phase::None;
  running_ = false;
  const Finished finished = std::move(finished_);
  finished_ = nullptr;
  if (finished) finished(result_);
}

SessionDriver::TimerAction SessionDriver::onAutoSendTimer(Finished finished) {
  if (running_) return TimerAction::RestartIn10Seconds;
  run(Command::SendAndReceive, std::move(finished));
  return TimerAction::Stop;
}

SessionDriver::TimerAction SessionDriver::onCheckTimer(bool popConnectionActive,
                                                       const std::function<void()>& startCheck) const {
  if (!settings_.popAccountComplete || popConnectionActive) return TimerAction::KeepRunning;
  if (!running_ && startCheck) startCheck();
  return TimerAction::Stop;
}

std::optional<std::chrono::milliseconds> SessionDriver::autoSendDelay(int seconds) {
  if (seconds < 0) return std::nullopt;
  if (seconds == 0) return kImmediateAutoSend;
  return std::chrono::seconds(seconds);
}

std::optional<std::chrono::milliseconds> SessionDriver::checkInterval(int seconds) {
  if (seconds <= 0) return std::nullopt;
  return std::chrono::seconds(seconds);
}

}  // namespace zorvik::mailflow
