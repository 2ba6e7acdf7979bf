/// \file
/// Everything an SMTP session test needs around the session: a fake clock,
/// a poll loop on it, a real socket, a recording reporter, and an owner that
/// records what the session reports.
///
///   SmtpSessionHarness h(server.port());
///   h.session().send(h.mail(1, {"b@example.jp"}, "Subject: a\r\n\r\n", "text\r\n"));
///   h.session().quit();
///   ASSERT_TRUE(h.runUntilEnded());
///   EXPECT_EQ(h.outcomes(), (std::vector{SmtpMailOutcome::Accepted}));
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "net/AsyncSocket.h"
#include "net/PollEventLoop.h"
#include "net/SmtpSession.h"
#include "support/FakeClock.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::test {

class SmtpSessionHarness final : public net::SmtpSessionOwner {
public:
  /// A session for 127.0.0.1:`port` with HELO name "client.test", both
  /// time-outs 30 s and no size limit; `adjust` may change the settings.
  explicit SmtpSessionHarness(std::uint16_t port, std::function<void(net::SmtpSettings&)> adjust = {});

  net::SmtpSession& session() { return *session_; }
  net::PollEventLoop& loop() { return loop_; }
  net::AsyncSocket& socket() { return socket_; }
  FakeClock& clock() { return clock_; }
  RecordingReporter& reporter() { return reporter_; }

  /// Writes a header file and a body file into the scratch folder and
  /// returns the mail that sends them from "taro@example.jp".
  net::OutgoingMail mail(std::int64_t id, std::vector<std::string> recipients, const std::string& header,
                         const std::string& body);

  /// Turns the loop until the connection has ended (false after `limit`).
  bool runUntilEnded(std::chrono::milliseconds limit = std::chrono::seconds(10));
  /// Turns the loop until `done` holds (false after `limit`).
  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));

  struct Finished {
    net::OutgoingMail mail;
    net::SmtpMailOutcome outcome;
  };
  const std::vector<Finished>& finished() const { return finished_; }
  std::vector<net::SmtpMailOutcome> outcomes() const;
  int connectionsEnded() const { return ended_; }
  bool endedFailed() const { return endedFailed_; }
  const std::vector<int>& progress() const { return progress_; }
  /// The numbers R of the messages shown, in order.
  std::vector<core::MessageNumber> shownMessages() const;

  /// Called from smtpMailFinished() before it returns, to let a test act
  /// from inside the notification.
  std::function<void(const Finished&)> onFinished;

  void smtpProgress(const net::OutgoingMail& mail, int percent) override;
  void smtpMailFinished(const net::OutgoingMail& mail, net::SmtpMailOutcome outcome) override;
  void smtpConnectionEnded(bool failed) override;

private:
  ScratchDir scratch_;
  FakeClock clock_;
  net::PollEventLoop loop_{clock_};
  net::AsyncSocket socket_{loop_};
  RecordingReporter reporter_;
  core::Messages messages_{reporter_};
  std::unique_ptr<net::SmtpSession> session_;
  std::vector<Finished> finished_;
  std::vector<int> progress_;
  int ended_ = 0;
  bool endedFailed_ = false;
};

}  // namespace zorvik::test
