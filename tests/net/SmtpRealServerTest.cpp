// The SMTP session against a real server (aiosmtpd storing into a maildir):
// what arrives must be exactly what the files held.

#include <gtest/gtest.h>

#include <algorithm>

#include "net/OutgoingMail.h"
#include "net/SmtpSession.h"
#include "support/SmtpSessionHarness.h"
#include "support/SmtpSinkServer.h"
#include "support/TestEnvironment.h"

namespace zorvik::net {
namespace {

using Outcome = SmtpMailOutcome;
using test::SmtpSessionHarness;
using test::SmtpSinkServer;

#define SKIP_WITHOUT_AIOSMTPD()                                                              \
  if (const std::string why = SmtpSinkServer::unavailableReason(); !why.empty()) GTEST_SKIP() << why

const std::string kHeader =
    "From: taro@example.jp\r\n"
    "To: hanako@example.jp\r\n"
    "Subject: =?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=\r\n"
    "Date: Mon, 07 Dec 2026 08:37:00 +0900\r\n"
    "Message-Id: <20261207083700.1@example.jp>\r\n"
    "Mime-Version: 1.0\r\n"
    "Content-Type: text/plain; charset=\"ISO-2022-JP\"\r\n"
    "Content-Transfer-Encoding: 7bit\r\n"
    "\r\n";

// About `size` bytes of 76-character lines, some Japanese in ISO-2022-JP.
std::string bodyOf(std::size_t size) {
  std::string body;
  for (int line = 0; body.size() < size; ++line) {
    if (line % 10 == 3) {
      body += "\x1b$B$3$s$K$A$O\x1b(B line " + std::to_string(line) + "\r\n";
      continue;
    }
    std::string text = std::to_string(line) + " ";
    while (text.size() < 76) text += static_cast<char>('A' + (text.size() + static_cast<std::size_t>(line)) % 26);
    body += text + "\r\n";
  }
  return body;
}

std::size_t countOf(const std::string& text, char c) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), c)); }

TEST(SmtpRealServer, MailArrivesExactlyAsTheFilesHoldIt) {
  SKIP_WITHOUT_AIOSMTPD();
  test::ScratchDir scratch;
  SmtpSinkServer server(scratch.file("maildir"));
  SmtpSessionHarness h(server.port());
  // Several 64 KB blocks, and a line the composition dot-stuffed.
  const std::string body = bodyOf(300 * 1024) + "..a line that began with a dot\r\n" + bodyOf(1000);
  ASSERT_TRUE(h.session().send(h.mail(1, {"hanako@example.jp"}, kHeader, body)));
  h.session().quit();
  ASSERT_TRUE(h.runUntilEnded());

  ASSERT_EQ(h.outcomes(), std::vector{Outcome::Accepted});
  EXPECT_TRUE(h.shownMessages().empty());
  const auto messages = server.messages();
  ASSERT_EQ(messages.size(), 1u);
  std::string expected = kHeader + body;
  expected.replace(expected.find("..a line"), 2, ".");
  const std::string arrived = SmtpSinkServer::crlfLines(SmtpSinkServer::withoutServerHeaders(messages[0]));
  EXPECT_EQ(arrived.size(), expected.size());
  EXPECT_TRUE(arrived == expected) << "first difference at byte "
                                   << std::mismatch(arrived.begin(), arrived.end(), expected.begin(), expected.end())
                                              .first -
                                          arrived.begin();
  EXPECT_EQ(SmtpSinkServer::headerValue(messages[0], "X-MailFrom"), "taro@example.jp");
  ASSERT_GE(h.progress().size(), 5u) << "progress after each block";
  EXPECT_TRUE(std::is_sorted(h.progress().begin(), h.progress().end()));
}

TEST(SmtpRealServer, TwoHundredFiftyRecipientsArriveAsThreeTransactions) {
  SKIP_WITHOUT_AIOSMTPD();
  test::ScratchDir scratch;
  SmtpSinkServer server(scratch.file("maildir"));
  SmtpSessionHarness h(server.port());
  std::vector<std::string> recipients;
  for (int i = 0; i < 250; ++i) recipients.push_back("user" + std::to_string(i) + "@example.jp");
  const auto batches = splitRecipients(h.mail(4, recipients, kHeader, bodyOf(2000)));
  ASSERT_EQ(batches.size(), 3u);
  for (const OutgoingMail& batch : batches) ASSERT_TRUE(h.session().send(batch));
  h.session().quit();
  ASSERT_TRUE(h.runUntilEnded());

  ASSERT_EQ(h.outcomes(), (std::vector{Outcome::Accepted, Outcome::Accepted, Outcome::Accepted}));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(h.finished()[static_cast<std::size_t>(i)].mail.id, 4);
    EXPECT_EQ(h.finished()[static_cast<std::size_t>(i)].mail.batch, i);
  }
  const auto messages = server.messages();
  ASSERT_EQ(messages.size(), 3u);
  const std::vector<std::size_t> counts = {100, 100, 50};
  std::vector<std::string> everyone;
  for (std::size_t i = 0; i < 3; ++i) {
    const std::string rcpts = SmtpSinkServer::headerValue(messages[i], "X-RcptTo");
    EXPECT_EQ(countOf(rcpts, '@'), counts[i]) << "transaction " << i;
    EXPECT_EQ(SmtpSinkServer::withoutServerHeaders(messages[i]), SmtpSinkServer::withoutServerHeaders(messages[0]));
  }
  EXPECT_NE(SmtpSinkServer::headerValue(messages[2], "X-RcptTo").find("user249@example.jp"), std::string::npos);
}

TEST(SmtpRealServer, SeveralMailsGoOverOneConnectionInOrder) {
  SKIP_WITHOUT_AIOSMTPD();
  test::ScratchDir scratch;
  SmtpSinkServer server(scratch.file("maildir"));
  SmtpSessionHarness h(server.port());
  for (int i = 1; i <= 5; ++i)
    ASSERT_TRUE(h.session().send(h.mail(i, {"hanako@example.jp"}, "Subject: number " + std::to_string(i) + "\r\n\r\n",
                                        bodyOf(static_cast<std::size_t>(i) * 5000))));
  h.session().quit();
  ASSERT_TRUE(h.runUntilEnded());

  EXPECT_EQ(h.outcomes(), std::vector(5, Outcome::Accepted));
  const auto messages = server.messages();
  ASSERT_EQ(messages.size(), 5u);
  const std::string peer = SmtpSinkServer::headerValue(messages[0], "X-Peer");
  EXPECT_FALSE(peer.empty());
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(SmtpSinkServer::headerValue(messages[i], "Subject"), "number " + std::to_string(i + 1));
    EXPECT_EQ(SmtpSinkServer::headerValue(messages[i], "X-Peer"), peer) << "a second connection was opened";
  }
}

TEST(SmtpBatches, RecipientsAreSplitIntoTransactionsOfAtMostAHundred) {
  OutgoingMail mail;
  mail.id = 9;
  for (const std::size_t n : {1u, 100u, 101u, 200u, 250u}) {
    mail.recipients.assign(n, "x@example.jp");
    mail.recipients.back() = "last@example.jp";
    const auto batches = splitRecipients(mail);
    ASSERT_EQ(batches.size(), (n - 1) / 100 + 1) << n;
    std::size_t total = 0;
    for (const OutgoingMail& b : batches) {
      EXPECT_LE(b.recipients.size(), kMaxRecipientsPerMail);
      EXPECT_EQ(b.id, 9);
      total += b.recipients.size();
    }
    EXPECT_EQ(total, n);
    EXPECT_EQ(batches.back().recipients.back(), "last@example.jp");
  }
  mail.recipients.clear();
  EXPECT_EQ(splitRecipients(mail).size(), 1u);
}

}  // namespace
}  // namespace zorvik::net
