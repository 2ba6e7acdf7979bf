#include "mailflow/SendPhase.h"

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "platform/FileSystem.h"
#include "store/RecordFlags.h"
#include "store/TrayFile.h"
#include "store/TrayReader.h"
#include "compose/UnsentMailComposer.h"

namespace zorvik::mailflow {
namespace {

std::string belowTopCabinet(const store::StoreLocation& store, const std::string& path) {
  return platform::isFullPath(path) ? path : platform::joinPath(store.topCabinetPath(), path);
}

}  // namespace

SendSettings SendSettings::fromSettings(const core::SettingsFile& settings, const store::StoreLocation& store) {
  SendSettings send;
  send.smtp = net::SmtpSettings::fromItems(settings);
  send.unsentTray = settings.text(core::item::kUnsentTray);
  const auto& work = settings.workingDirectories();
  send.headerPath = belowTopCabinet(store, work.outgoingHeaderFile);
  send.bodyPath = belowTopCabinet(store, work.outgoingBodyFile);
  send.expandTextFiles = settings.flag(core::item::kExpandTextAttachmentsOnSend);
  return send;
}

SendPhase::SendPhase(net::EventLoop& loop, net::SmtpTransport& transport, store::StoreLocation store,
                     const message::MailRecordParser& parser, core::Messages& messages, SendSettings settings)
    : loop_(loop),
      store_(std::move(store)),
      parser_(parser),
      messages_(messages),
      settings_(std::move(settings)),
      session_(loop, transport, messages, *this, settings_.smtp) {}

SendPhase::~SendPhase() {
  loop_.stopTimer(posted_);
  if (running_) session_.abandon();
  removeWorkFiles();
}

bool SendPhase::start(Finished finished) {
  if (running_) return false;
  running_ = true;
  sendDone_ = false;
  flagsWritten_ = false;
  current_.reset();
  nextMail_ = 0;
  result_ = SendResult{};
  finished_ = std::move(finished);
  if (!collectMails()) {
    result_.failed = true;
    postFinish();
    return true;
  }
  // The first step runs from the loop, so the caller hears of the end only
  // after start() has returned, even when there is nothing to send.
  posted_ = loop_.startTimer(std::chrono::milliseconds(0), [this] {
    posted_ = 0;
    advance();
  });
  return true;
}

void SendPhase::abort() {
  if (!running_ || result_.aborted) return;
  result_.aborted = true;
  loop_.stopTimer(posted_);
  posted_ = 0;
  session_.abandon();
  writeSentFlags();
  postFinish();
}

// The mails as the tray holds them now; links are rows of mails stored
// elsewhere, not mails waiting to be sent.
bool SendPhase::collectMails() {
  mails_.clear();
  auto reader = store::TrayReader::open(store_, settings_.unsentTray);
  if (!reader) return false;
  store::TrayRecord record;
  while (reader->nextMail(record) != store::ReadResult::End) {
    if (record.isLink()) continue;
    const std::uint32_t flags = record.record.flags();
    mails_.push_back({record.index, (flags & store::recordflag::kSwitch1) != 0,
                      (flags & store::recordflag::kSwitch2) != 0});
  }
  result_.found = mails_.size();
  return true;
}

void SendPhase::advance() {
  while (running_ && !result_.aborted) {
    if (current_ && !current_->batches.empty()) {
      net::OutgoingMail batch = std::move(current_->batches.front());
      current_->batches.pop_front();
      if (session_.send(std::move(batch))) return;
      // Refused before anything was sent (no recipients, an unsafe address):
      // its message has been shown and no notification follows.
      current_->refused = true;
      finishMail();
      continue;
    }
    if (current_ && current_->splitter && !current_->splitter->done()) {
      if (!nextFragment()) return failComposition();
      continue;
    }
    if (current_ && current_->nextTransmission < current_->plan.size()) {
      if (!startTransmission()) return failComposition();
      continue;
    }
    if (current_) finishMail();
    if (nextMail_ >= mails_.size() || stopping_) return endSending();
    if (!composeNextMail()) return failComposition();
  }
}

bool SendPhase::composeNextMail() {
  CurrentMail mail;
  mail.queued = mails_[nextMail_++];
  current_ = std::move(mail);
  if (!compose(true, settings_.headerPath, settings_.bodyPath)) return false;
  current_->plan = net::TransmissionPlan::of(current_->composed, current_->queued.ccWithoutAttachments,
                                        current_->queued.bccWithoutAttachments);
  return true;
}

bool SendPhase::compose(bool attachments, const std::string& headerPath, const std::string& bodyPath) {
  const store::TrayFile tray(store_, settings_.unsentTray);
  const compose::UnsentMailComposer composer(tray, parser_, messages_);
  message::ComposeOptions options;
  options.attachments = attachments;
  options.expandTextFiles = settings_.expandTextFiles;
  auto composed = composer.compose(current_->queued.index, options, headerPath, bodyPath);
  if (!composed) return false;
  current_->composed = std::move(*composed);
  return true;
}

// The files of the first transmission were composed with the mail; a later
// one (the recipients without attachments) composes them again.
bool SendPhase::startTransmission() {
  CurrentMail& mail = *current_;
  const net::Transmission transmission = mail.plan[mail.nextTransmission];
  if (mail.nextTransmission++ > 0 && !compose(transmission.attachments, settings_.headerPath, settings_.bodyPath))
    return false;
  mail.splitter.reset();
  if (mail.composed.splitKilobytes > 0) {
    mail.splitter.emplace(settings_.headerPath, settings_.bodyPath, messages_);
    const auto count = mail.splitter->start(mail.composed.splitKilobytes, mail.composed.messageId);
    if (!count) return false;
    if (*count > 0) return true;  // the fragments are queued one by one
    mail.splitter.reset();
  }
  queueBatches(mail.composed.recipients(transmission.lists), settings_.headerPath, settings_.bodyPath);
  return true;
}

bool SendPhase::nextFragment() {
  CurrentMail& mail = *current_;
  const std::string header = mail.splitter->fragmentHeaderPath();
  const std::string body = mail.splitter->fragmentBodyPath();
  if (!mail.splitter->makeFragment(header, body)) return false;
  const net::Transmission transmission = mail.plan[mail.nextTransmission - 1];
  queueBatches(mail.composed.recipients(transmission.lists), header, body);
  return true;
}

void SendPhase::queueBatches(const std::vector<std::string>& recipients, const std::string& headerPath,
                             const std::string& bodyPath) {
  net::OutgoingMail mail;
  mail.id = current_->queued.index;
  mail.subject = current_->composed.subject;
  mail.sender = current_->composed.sender;
  mail.recipients = recipients;
  mail.headerPath = headerPath;
  mail.bodyPath = bodyPath;
  for (auto& batch : splitRecipients(mail)) current_->batches.push_back(std::move(batch));
}

void SendPhase::finishMail() {
  if (!current_->refused) result_.sent.push_back(current_->queued.index);
  current_.reset();
}

void SendPhase::endSending() {
  removeWorkFiles();
  sendDone_ = true;
  writeSentFlags();
  if (session_.state() == net::SmtpState::Idle) return postFinish();
  session_.quit();
}

void SendPhase::failComposition() {
  result_.failed = true;
  current_.reset();
  session_.abandon();
  writeSentFlags();
  postFinish();
}

void SendPhase::smtpProgress(const net::OutgoingMail& mail, int percent) {
  if (progress_) progress_(nextMail_, mails_.size(), mail.subject, percent);
}

void SendPhase::smtpMailFinished(const net::OutgoingMail& /*mail*/, net::SmtpMailOutcome outcome) {
  if (!running_ || result_.aborted || !current_) return;
  if (outcome == net::SmtpMailOutcome::Accepted) return advance();
  // The rest of this mail is not sent: a mail is sent to all of its
  // recipients or counts as unsent.
  current_->refused = true;
  current_->batches.clear();
  current_->splitter.reset();
  current_->nextTransmission = current_->plan.size();
  if (outcome == net::SmtpMailOutcome::Refused) return advance();
  // NotSent or Unconfirmed: the connection is ending; its end decides.
  finishMail();
}

void SendPhase::smtpConnectionEnded(bool failed) {
  if (!running_ || result_.aborted) return;
  if (!sendDone_) {
    // Ended before every mail was handled: keep what was sent so far.
    current_.reset();
    result_.failed = true;
    writeSentFlags();
    return finish();
  }
  result_.failed = result_.failed || failed;
  finish();
}

void SendPhase::writeSentFlags() {
  if (flagsWritten_) return;
  flagsWritten_ = true;
  const store::TrayFile tray(store_, settings_.unsentTray);
  for (const std::uint32_t index : result_.sent) tray.changeFlags(index, store::recordflag::kOpened, true);
}

void SendPhase::removeWorkFiles() const {
  for (const std::string& path : {settings_.headerPath, settings_.bodyPath}) {
    platform::removeFile(path);
    platform::removeFile(path + ".Partial");
  }
}

void SendPhase::postFinish() {
  loop_.stopTimer(posted_);
  posted_ = loop_.startTimer(std::chrono::milliseconds(0), [this] {
    posted_ = 0;
    finish();
  });
}

void SendPhase::finish() {
  if (!running_) return;
  running_ = false;
  removeWorkFiles();
  const Finished finished = std::move(finished_);
  finished_ = nullptr;
  if (finished) finished(result_);
}

}  // namespace zorvik::mailflow
