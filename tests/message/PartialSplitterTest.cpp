// Splitting a composed mail into message/partial fragments: the fragment
// headers, cuts only at line ends, the first fragment carrying the enclosed
// header, and the bodies joining back into exactly the composed mail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Messages.h"
#include "message/MimeComposer.h"
#include "message/PartialSplitter.h"
#include "platform/FileSystem.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::message {
namespace {

struct Fragment {
  std::string header;
  std::string body;
};

class PartialSplitterTest : public ::testing::Test {
protected:
  void writeSources(const std::string& header, const std::string& body) {
    ASSERT_TRUE(platform::writeFileAtomically(headerPath, header));
    ASSERT_TRUE(platform::writeFileAtomically(bodyPath, body));
  }

  // A mail of about 250 KB: a text line and a base64 attachment.
  void composeLargeMail() {
    std::string data(185000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 % 253);
    const std::string file = scratch.file("data.bin");
    ASSERT_TRUE(platform::writeFileAtomically(file, data));
    MimeComposer composer({}, messages);
    const MailLines draft{"From ",
                          {"From: me@example.jp", "Subject: big", "To: you@example.jp",
                           "Message-Id: <126.1@example.jp>"},
                          {"see the file", "@#MIME " + file}};
    ASSERT_TRUE(composer.composeFiles(draft, headerPath, bodyPath));
  }

  std::vector<Fragment> splitAll(PartialSplitter& splitter) {
    std::vector<Fragment> fragments;
    while (!splitter.done()) {
      const std::string h = scratch.file("h.Partial");
      const std::string b = scratch.file("b.Partial");
      EXPECT_TRUE(splitter.makeFragment(h, b));
      fragments.push_back({platform::readFile(h).value(), platform::readFile(b).value()});
    }
    return fragments;
  }

  test::ScratchDir scratch;
  test::RecordingReporter reporter;
  core::Messages messages{reporter};
  std::string headerPath = scratch.file("TxTmpH");
  std::string bodyPath = scratch.file("TxTmpB");
};

TEST_F(PartialSplitterTest, LargeMailGivesThreeFragmentsThatJoinBackExactly) {
  composeLargeMail();
  const std::string header = platform::readFile(headerPath).value();
  const std::string body = platform::readFile(bodyPath).value();
  ASSERT_EQ((header.size() + body.size() + 2) / (100 * 1024), 2u);

  PartialSplitter splitter(headerPath, bodyPath, messages);
  ASSERT_EQ(splitter.start(100), 3);
  EXPECT_EQ(splitter.fragmentHeaderPath(), headerPath + ".Partial");
  const auto fragments = splitAll(splitter);
  ASSERT_EQ(fragments.size(), 3u);

  std::string joined;
  for (std::size_t i = 0; i < fragments.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    EXPECT_EQ(fragments[i].header,
              "From: me@example.jp\r\nSubject: big [" + n + "/3]\r\nTo: you@example.jp\r\nMime-Version: 1.0\r\n"
              "Content-Type: message/partial; total=3; number=" + n + "; id=\"126.1@example.jp\"\r\n"
              "Content-Transfer-Encoding: 7bit\r\n\r\n");
    EXPECT_EQ(fragments[i].body.back(), '\n') << "fragment " << n << " ends at a line end";
    EXPECT_LE(fragments[i].body.size(), 100u * 1024 + 80) << "a fragment passes the limit by one line at most";
    joined += fragments[i].body;
  }
  EXPECT_TRUE(fragments[0].body.starts_with(header)) << "the first fragment carries the mail's own header";
  EXPECT_EQ(joined, header + body);
  EXPECT_TRUE(reporter.boxes().empty());
}

TEST_F(PartialSplitterTest, SmallMailsAndNoLimitAreNotSplit) {
  composeLargeMail();
  PartialSplitter splitter(headerPath, bodyPath, messages);
  EXPECT_EQ(splitter.start(0), 0);
  EXPECT_EQ(splitter.start(-5), 0);
  EXPECT_EQ(splitter.start(400), 0);
  EXPECT_TRUE(splitter.done());
  EXPECT_FALSE(splitter.makeFragment(scratch.file("x"), scratch.file("y")));
}

TEST_F(PartialSplitterTest, ExactMultipleOfTheLimitSendsNoEmptyFragment) {
  // Header 22 bytes, body lines of 100 bytes: 2048 bytes in all with the 2,
  // exactly two kilobytes.
  const std::string header = "Subject: s\r\nX-Pad: 12\r\n";
  std::string body;
  while (body.size() + 100 <= 2048 - 2 - header.size()) body += std::string(98, 'a') + "\r\n";
  body += std::string(2048 - 2 - header.size() - body.size() - 2, 'b') + "\r\n";
  writeSources(header + "\r\n", body.substr(2));
  ASSERT_EQ(header.size() + 2 + body.size() - 2 + 2, 2048u);
  PartialSplitter splitter(headerPath, bodyPath, messages);
  ASSERT_EQ(splitter.start(1), 2);
  const auto fragments = splitAll(splitter);
  ASSERT_EQ(fragments.size(), 2u);
  EXPECT_FALSE(fragments[1].body.empty());
}

TEST_F(PartialSplitterTest, FoldedSubjectGetsItsNumberAtTheEndAndALongLineStaysWhole) {
  writeSources("Subject: =?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=\r\n =?ISO-2022-JP?B?GyRCOGwbKEI=?=\r\n"
               "message-id: <x>\r\nContent-Type: text/plain;\r\n charset=\"ISO-2022-JP\"\r\n\r\n",
               std::string(3000, 'L') + "\r\nshort\r\n");
  PartialSplitter splitter(headerPath, bodyPath, messages);
  ASSERT_EQ(splitter.start(1), 2);
  EXPECT_EQ(splitter.id(), "x");
  const auto fragments = splitAll(splitter);
  EXPECT_EQ(fragments[0].header,
            "Subject: =?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=\r\n =?ISO-2022-JP?B?GyRCOGwbKEI=?= [1/2]\r\n"
            "Content-Type: message/partial; total=2; number=1; id=\"x\"\r\n\r\n");
  EXPECT_TRUE(fragments[0].body.ends_with(std::string(3000, 'L') + "\r\n"));
  EXPECT_EQ(fragments[1].body, "short\r\n");
}

TEST_F(PartialSplitterTest, MissingSourcesAndUnwritableFragmentsAreReported) {
  PartialSplitter missing(scratch.file("none"), bodyPath, messages);
  EXPECT_FALSE(missing.start(1).has_value());

  writeSources("Subject: s\r\n\r\n", std::string(4000, 'x') + "\r\n" + std::string(4000, 'y') + "\r\n");
  PartialSplitter splitter(headerPath, bodyPath, messages);
  ASSERT_EQ(splitter.start(1, "fallback@id"), 2);
  EXPECT_EQ(splitter.id(), "fallback@id") << "a header without Message-Id takes the caller's id";
  EXPECT_FALSE(splitter.makeFragment(scratch.file("no/dir/h"), scratch.file("b")));
  EXPECT_EQ(splitter.nextNumber(), 1) << "a failed fragment can be made again";
  ASSERT_EQ(reporter.boxes().size(), 2u);
  EXPECT_NE(reporter.boxes()[0].caption.find("No.1101"), std::string::npos);
  EXPECT_NE(reporter.boxes()[1].text.find("no/dir/h"), std::string::npos);
}

}  // namespace
}  // namespace zorvik::message
