#include "support/SmtpSessionHarness.h"

#include <fstream>

namespace zorvik::test {

namespace {

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace

SmtpSessionHarness::SmtpSessionHarness(std::uint16_t port, std::function<void(net::SmtpSettings&)> adjust) {
  net::SmtpSettings settings;
  settings.host = "127.0.0.1";
  settings.port = port;
  settings.heloName = "client.test";
  settings.sendTimeoutSeconds = 30;
  settings.receiveTimeoutSeconds = 30;
  if (adjust) adjust(settings);
  session_ = std::make_unique<net::SmtpSession>(loop_, socket_, messages_, *this, settings);
}

net::OutgoingMail SmtpSessionHarness::mail(std::int64_t id, std::vector<std::string> recipients,
                                           const std::string& header, const std::string& body) {
  net::OutgoingMail mail;
  mail.id = id;
  mail.subject = "mail " + std::to_string(id);
  mail.sender = "taro@example.jp";
  mail.recipients = std::move(recipients);
  mail.headerPath = scratch_.file("head" + std::to_string(id) + ".tmp");
  mail.bodyPath = scratch_.file("body" + std::to_string(id) + ".tmp");
  writeFile(mail.headerPath, header);
  writeFile(mail.bodyPath, body);
  return mail;
}

bool SmtpSessionHarness::runUntilEnded(std::chrono::milliseconds limit) {
  return runUntil([this] { return ended_ > 0; }, limit);
}

bool SmtpSessionHarness::runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  return loop_.runUntil(done, limit);
}

std::vector<net::SmtpMailOutcome> SmtpSessionHarness::outcomes() const {
  std::vector<net::SmtpMailOutcome> result;
  for (const Finished& f : finished_) result.push_back(f.outcome);
  return result;
}

std::vector<core::MessageNumber> SmtpSessionHarness::shownMessages() const { return reporter_.numbers(); }

void SmtpSessionHarness::smtpProgress(const net::OutgoingMail& /*mail*/, int percent) {
  progress_.push_back(percent);
}

void SmtpSessionHarness::smtpMailFinished(const net::OutgoingMail& mail, net::SmtpMailOutcome outcome) {
  finished_.push_back({mail, outcome});
  if (onFinished) onFinished(finished_.back());
}

void SmtpSessionHarness::smtpConnectionEnded(bool failed) {
  ++ended_;
  endedFailed_ = failed;
}

}  // namespace zorvik::test
