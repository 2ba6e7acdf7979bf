#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mailflow/SendTestStore.h"
#include "support/SmtpSinkServer.h"

namespace zorvik {
namespace {

using core::MessageNumber;

using test::SmtpSinkServer;

class SendRealServer : public ::testing::Test {
protected:
  void SetUp() override {
    if (const auto why = SmtpSinkServer::unavailableReason(); !why.empty()) GTEST_SKIP() << why;
    server.emplace(store.scratch.file("maildir"));
    phase = store.sendPhase(server->port());
  }
  mailflow::SendResult sendAll() {
    const auto result = store.runSend(*phase);
    EXPECT_TRUE(result.has_value()) << "the phase ended in time";
    return result.value_or(mailflow::SendResult{});
  }
  static std::vector<std::string> recipientsOf(const std::string& message) {
    std::vector<std::string> list;
    std::string value = SmtpSinkServer::headerValue(message, "X-RcptTo");
    for (std::size_t at = 0; at < value.size();) {
      const std::size_t comma = value.find(", ", at);
      list.push_back(value.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
      if (comma == std::string::npos) break;
      at = comma + 2;
    }
    return list;
  }

  test::SendTestStore store;
  std::optional<SmtpSinkServer> server;
  std::unique_ptr<mailflow::SendPhase> phase;
};

TEST_F(SendRealServer, TwoHundredFiftyRecipientsGoInThreeTransactionsOfTheSameMail) {
  std::string to, cc, bcc;
  for (int i = 0; i < 250; ++i) {
    std::string& list = i < 120 ? to : (i < 200 ? cc : bcc);
    list += (list.empty() ? "" : ",") + std::string(" r") + std::to_string(i) + "@example.jp ";
  }
  store.add({.to = to, .cc = cc, .bcc = bcc, .subject = "many"});
  const auto result = sendAll();
  EXPECT_EQ(result.sent, (std::vector<std::uint32_t>{0}));
  const auto messages = server->messages();
  ASSERT_EQ(messages.size(), 3u);
  std::vector<std::string> all;
  for (const auto& message : messages) {
    const auto batch = recipientsOf(message);
    all.insert(all.end(), batch.begin(), batch.end());
    EXPECT_EQ(SmtpSinkServer::withoutServerHeaders(message), SmtpSinkServer::withoutServerHeaders(messages[0]));
    EXPECT_EQ(message.find("\nBcc:"), std::string::npos);
  }
  EXPECT_EQ(recipientsOf(messages[0]).size(), 100u);
  EXPECT_EQ(recipientsOf(messages[1]).size(), 100u);
  EXPECT_EQ(recipientsOf(messages[2]).size(), 50u);
  ASSERT_EQ(all.size(), 250u);
  for (int i = 0; i < 250; ++i) EXPECT_EQ(all[i], "r" + std::to_string(i) + "@example.jp");
}

TEST_F(SendRealServer, CcWithoutAttachmentsGetsASecondCopyWithoutTheFile) {
  const std::string attachment = store.file("data.bin", std::string("\x01\x02\x03 attachment bytes", 20));
  store.add({.to = "to@example.jp", .cc = "cc@example.jp", .bcc = "bcc@example.jp", .subject = "files",
             .body = {"see the file", "@#MIME \"" + attachment + "\""}, .ccWithoutAttachments = true});
  const auto result = sendAll();
  EXPECT_EQ(result.sent, (std::vector<std::uint32_t>{0}));
  const auto messages = server->messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(recipientsOf(messages[0]), (std::vector<std::string>{"to@example.jp", "bcc@example.jp"}));
  EXPECT_NE(messages[0].find("Content-Transfer-Encoding: base64"), std::string::npos);
  EXPECT_EQ(recipientsOf(messages[1]), (std::vector<std::string>{"cc@example.jp"}));
  EXPECT_EQ(messages[1].find("base64"), std::string::npos) << messages[1];
  EXPECT_NE(messages[1].find("data.bin"), std::string::npos) << "the file is named in the text";
}

TEST_F(SendRealServer, MarkedButEmptyCcSendsOnceAndAMailWithoutFilesIgnoresTheSwitch) {
  const std::string attachment = store.file("a.bin", "abc");
  store.add({.to = "to@example.jp", .subject = "one", .body = {"@#MIME \"" + attachment + "\""},
             .ccWithoutAttachments = true});
  store.add({.to = "to@example.jp", .cc = "cc@example.jp", .subject = "two", .bccWithoutAttachments = true});
  EXPECT_EQ(sendAll().sent, (std::vector<std::uint32_t>{0, 1}));
  const auto messages = server->messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(recipientsOf(messages[1]), (std::vector<std::string>{"to@example.jp", "cc@example.jp"}));
}

TEST_F(SendRealServer, SplitMailArrivesAsPartialFragmentsThatJoinToTheComposedMail) {
  std::vector<std::string> body;
  for (int i = 0; i < 120; ++i) body.push_back("line " + std::to_string(i) + std::string(40, 'x'));
  store.add({.subject = "big", .body = body, .splitKilobytes = 2});
  EXPECT_EQ(sendAll().sent, (std::vector<std::uint32_t>{0}));
  const auto messages = server->messages();
  ASSERT_GE(messages.size(), 3u);
  const std::string total = std::to_string(messages.size());
  std::string joined;
  for (std::size_t i = 0; i < messages.size(); ++i) {
    const std::string& message = messages[i];
    const std::string number = std::to_string(i + 1);
    EXPECT_EQ(SmtpSinkServer::headerValue(message, "Subject"), "big [" + number + "/" + total + "]");
    const std::string type = SmtpSinkServer::headerValue(message, "Content-Type");
    EXPECT_NE(type.find("message/partial; total=" + total + "; number=" + number), std::string::npos) << type;
    const std::string plain = SmtpSinkServer::withoutServerHeaders(message);
    joined += plain.substr(plain.find("\n\n") + 2);
  }
  for (int i = 0; i < 120; ++i)
    EXPECT_NE(joined.find("\nline " + std::to_string(i) + std::string(40, 'x') + "\n"), std::string::npos) << i;
  EXPECT_NE(joined.find("Subject: big\n"), std::string::npos) << "the first fragment encloses the mail's header";
}

TEST_F(SendRealServer, RefusedRecipientLeavesOnlyThatMailUnsent) {
  store.add({.to = "bad@@example.jp", .subject = "refused"});
  store.add({.subject = "fine"});
  const auto result = sendAll();
  EXPECT_EQ(result.sent, (std::vector<std::uint32_t>{1}));
  EXPECT_FALSE(result.failed) << "a refused mail does not fail the connection";
  EXPECT_EQ(store.shown(), (std::vector<MessageNumber>{MessageNumber::BadAddress}));
  ASSERT_EQ(server->messages().size(), 1u);
  EXPECT_EQ(SmtpSinkServer::headerValue(server->messages()[0], "Subject"), "fine");
}

}  // namespace
}  // namespace zorvik
