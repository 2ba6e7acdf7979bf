// Our MIME decoding against Python's email package on the same mails, two
// corpora made by Python: one of random shapes (Japanese text in four
// charsets, base64 and quoted-printable, encoded-word and RFC 2231 names,
// nested multiparts, attached mails, uuencode and BinHex), and one of the
// shapes today's senders use (HTML-only newsletters, Gmail and Outlook
// alternatives, folded headers, CSV, calendar and vCard files, broken
// boundaries). Each mail is delivered as a receive stores it, then checked
// by Python: the stored text holds every text part Python reads, the saved
// files are exactly the other parts byte for byte, and the record's Subject
// and sender are what Python reads from the header.
#include "MimeTestSupport.h"

#include "message/HeaderReader.h"
#include "platform/LineReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace zorvik::message {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

std::string run(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string output;
  if (!pipe) return "cannot run " + command;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, n);
  return output;
}

std::string utf8Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += platform::sjisToUtf8(line) + "\n";
  return text;
}

class MimePythonTest : public ::testing::Test, public mimetest::MimeFixture {
protected:
  // Makes the corpus with `arguments` for make_corpus.py, delivers every
  // mail (decoded into the work file's form, then read back as the move
  // into a tray reads it) and has check_corpus.py compare. Returns what
  // Python found wrong.
  std::string deliverAndCheck(const std::string& arguments, std::size_t expectedMails) {
    const std::string scripts = test::testDataDir() + "/mime";
    const std::string corpus = scratch.file("corpus");
    const std::string out = scratch.file("out");
    EXPECT_EQ(run(std::string(kPython) + " '" + scripts + "/make_corpus.py' '" + corpus + "' " + arguments), "");
    EXPECT_TRUE(platform::makeDirectories(out));
    std::vector<std::string> mails;
    for (const auto& entry : platform::listDirectory(corpus)) mails.push_back(entry.name);
    std::sort(mails.begin(), mails.end());
    EXPECT_EQ(mails.size(), expectedMails);
    const MailRecordParser parser(ParseContext{{}, 9, 0, "user@example.jp"});
    for (const auto& name : mails) {
      const mimetest::Decoded d = decode(platform::readFile(platform::joinPath(corpus, name)).value());
      EXPECT_TRUE(d.ok) << name;
      auto work = platform::LineReader::fromText("From  \r\n" + d.text);
      HeaderReader reader(work, parser);
      MailRecord record;
      MailLines lines;
      EXPECT_TRUE(reader.readHeader(record, lines)) << name;
      reader.copyBody(record, lines);
      const std::string base = platform::joinPath(out, name.substr(0, name.size() - 4));
      const std::string folder = d.folder.empty() ? "" : platform::joinPath(settings.attachmentRoot, d.folder);
      const std::string values = record.subject + "\n" + record.fromAddress + "\n" + record.fromName + "\n";
      EXPECT_TRUE(platform::writeFileAtomically(base + ".txt", utf8Lines(lines.header) + "\n" + utf8Lines(lines.body)));
      EXPECT_TRUE(platform::writeFileAtomically(base + ".dir", platform::sjisToUtf8(folder)));
      EXPECT_TRUE(platform::writeFileAtomically(base + ".rec", platform::sjisToUtf8(values)));
    }
    return run(std::string(kPython) + " '" + scripts + "/check_corpus.py' '" + corpus + "' '" + out + "'");
  }
};

TEST_F(MimePythonTest, StoredTextAndSavedFilesAgreeWithPythonsEmail) {
  if (!std::filesystem::exists(kPython)) GTEST_SKIP() << "no " << kPython;
  EXPECT_EQ(deliverAndCheck("80 5", 80), "");
}

TEST_F(MimePythonTest, RealWorldMailsAgreeWithPythonsEmail) {
  if (!std::filesystem::exists(kPython)) GTEST_SKIP() << "no " << kPython;
  EXPECT_EQ(deliverAndCheck("realworld", 44), "");
}

}  // namespace
}  // namespace zorvik::message
