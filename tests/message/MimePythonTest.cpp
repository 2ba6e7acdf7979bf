// Our MIME decoding against Python's email package on the same mails: a
// corpus made by Python (Japanese text in four charsets, base64 and
// quoted-printable, encoded-word and RFC 2231 names, nested multiparts,
// attached mails, uuencode and BinHex), decoded here the way a receive
// stores it, then checked by Python: the stored text holds every text part
// Python reads, and the saved files are exactly the other parts, byte for
// byte.
#include "MimeTestSupport.h"

#include "message/EncodedWordDecoder.h"

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

// What the tray holds after the move from the work file: every line decoded
// (encoded words, ISO-2022-JP) to Shift_JIS; here further to UTF-8.
std::string asTrayShowsIt(std::string_view stored) {
  std::string utf8;
  while (!stored.empty()) {
    const auto end = stored.find("\r\n");
    const std::string_view line = stored.substr(0, end);
    utf8 += platform::sjisToUtf8(EncodedWordDecoder::decode(line)) + "\n";
    stored.remove_prefix(end == std::string_view::npos ? stored.size() : end + 2);
  }
  return utf8;
}

class MimePythonTest : public ::testing::Test, public mimetest::MimeFixture {};

TEST_F(MimePythonTest, StoredTextAndSavedFilesAgreeWithPythonsEmail) {
  if (!std::filesystem::exists(kPython)) GTEST_SKIP() << "no " << kPython;
  const std::string scripts = test::testDataDir() + "/mime";
  const std::string corpus = scratch.file("corpus");
  const std::string out = scratch.file("out");
  ASSERT_EQ(run(std::string(kPython) + " '" + scripts + "/make_corpus.py' '" + corpus + "' 80 5"), "");
  ASSERT_TRUE(platform::makeDirectories(out));

  std::vector<std::string> mails;
  for (const auto& entry : platform::listDirectory(corpus)) mails.push_back(entry.name);
  std::sort(mails.begin(), mails.end());
  ASSERT_EQ(mails.size(), 80u);
  for (const auto& name : mails) {
    const mimetest::Decoded d = decode(platform::readFile(platform::joinPath(corpus, name)).value());
    ASSERT_TRUE(d.ok) << name;
    const std::string base = name.substr(0, name.size() - 4);
    const std::string folder = d.folder.empty() ? "" : platform::joinPath(settings.attachmentRoot, d.folder);
    ASSERT_TRUE(platform::writeFileAtomically(platform::joinPath(out, base + ".txt"), asTrayShowsIt(d.text)));
    ASSERT_TRUE(platform::writeFileAtomically(platform::joinPath(out, base + ".dir"), platform::sjisToUtf8(folder)));
  }
  EXPECT_EQ(run(std::string(kPython) + " '" + scripts + "/check_corpus.py' '" + corpus + "' '" + out + "'"), "");
}

}  // namespace
}  // namespace zorvik::message
