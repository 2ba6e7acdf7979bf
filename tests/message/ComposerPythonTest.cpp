// A composed Japanese mail with two attachments, read back by Python's email
// package (the header file and the body file sent one after the other, as
// the SMTP session sends them): the subject, the text and every byte of the
// attachments must come back as they were.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "core/Messages.h"
#include "message/MimeComposer.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::message {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

// Writes what Python's email reads into `out`: subject.txt, bcc.txt (what
// it found of a Bcc line), and per leaf part N either text-N.txt or
// file-N.bin with its name in file-N.name, all UTF-8.
constexpr const char* kReader = R"(
import email, sys, os
from email import policy
raw = open(sys.argv[1], 'rb').read()
msg = email.message_from_bytes(raw, policy=policy.default)
out = sys.argv[2]
def put(name, data):
    open(os.path.join(out, name), 'wb').write(data if isinstance(data, bytes) else data.encode('utf-8'))
put('subject.txt', str(msg['subject']))
put('bcc.txt', str(msg['bcc']))
put('defects.txt', ' '.join(type(d).__name__ for p in msg.walk() for d in p.defects))
for n, part in enumerate(p for p in msg.walk() if not p.is_multipart()):
    name = part.get_filename()
    if name is None:
        put('text-%d.txt' % n, part.get_content().replace('\r\n', '\n'))
    else:
        put('file-%d.name' % n, name)
        put('file-%d.bin' % n, part.get_payload(decode=True))
)";

std::string run(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string output;
  if (!pipe) return "cannot run " + command;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, n);
  return output;
}

// The two files as the server stores the mail: dot-stuffing undone.
std::string asDelivered(const std::string& wire) {
  std::string mail;
  std::size_t at = 0;
  while (at < wire.size()) {
    std::size_t end = wire.find("\r\n", at);
    end = end == std::string::npos ? wire.size() : end + 2;
    if (wire.compare(at, 2, "..") == 0) ++at;
    mail.append(wire, at, end - at);
    at = end;
  }
  return mail;
}

std::string bytes(std::size_t size, unsigned seed) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 2654435761u + seed) >> 13);
  return data;
}

std::string read(const std::string& path) { return platform::readFile(path).value_or("<missing>"); }

TEST(ComposerPythonTest, JapaneseMailWithTwoAttachmentsComesBackExactly) {
  if (!std::filesystem::exists(kPython)) GTEST_SKIP() << "no " << kPython;
  test::ScratchDir scratch;
  test::RecordingReporter reporter;
  core::Messages messages(reporter);

  const std::string subject = "来週の会議資料と写真をお送りします。ご確認のほどよろしくお願いいたします";
  const std::string photoName = "会議室の写真.jpg";
  const std::string photo = bytes(40000, 7);
  const std::string minutes = bytes(1234, 99);
  const std::string photoPath = scratch.file(photoName);
  const std::string minutesPath = scratch.file("minutes.pdf");
  ASSERT_TRUE(platform::writeFileAtomically(platform::utf8ToSjis(photoPath), photo));
  ASSERT_TRUE(platform::writeFileAtomically(minutesPath, minutes));

  const auto s = [](const std::string& utf8) { return platform::utf8ToSjis(utf8); };
  const MailLines draft{"From ",
                        {"From: \"" + s("山田太郎") + "\" <taro@example.jp>", "Subject: " + s(subject),
                         "To: " + s("\"花子\"") + " <hanako@example.jp>", "Bcc: boss@example.jp",
                         "Date: Mon, 07 Dec 2026 09:30:00 +0900", "Message-Id: <1@example.jp>",
                         "Content-Type: multipart", "Zorvik: 100,,0,0,0", "KRDX: "},
                        {s("花子さん"), ".", s("資料を添付します。ｶﾀｶﾅも。"), "@#MIME \"" + s(photoPath) + "\"",
                         s("写真は上です。"), "@#MIME " + minutesPath, s("山田")}};
  MimeComposer composer({}, messages);
  const std::string header = scratch.file("TxTmpH");
  const std::string body = scratch.file("TxTmpB");
  ASSERT_TRUE(composer.composeFiles(draft, header, body));
  const std::string wire = read(header) + read(body);
  for (const char c : wire) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "the mail leaves as 7-bit text";

  const std::string mail = scratch.file("mail.eml");
  const std::string script = scratch.file("read.py");
  const std::string out = scratch.file("out");
  ASSERT_TRUE(platform::writeFileAtomically(mail, asDelivered(wire)));
  ASSERT_TRUE(platform::writeFileAtomically(script, kReader));
  ASSERT_TRUE(platform::makeDirectories(out));
  ASSERT_EQ(run(std::string(kPython) + " '" + script + "' '" + mail + "' '" + out + "' 2>&1"), "");

  EXPECT_EQ(read(out + "/subject.txt"), subject);
  EXPECT_EQ(read(out + "/bcc.txt"), "None") << "Bcc never reaches the header";
  EXPECT_EQ(read(out + "/defects.txt"), "");
  // The line end before each boundary belongs to the boundary.
  EXPECT_EQ(read(out + "/text-0.txt"), "花子さん\n.\n資料を添付します。カタカナも。");
  EXPECT_EQ(read(out + "/file-1.name"), photoName);
  EXPECT_EQ(read(out + "/file-1.bin"), photo);
  EXPECT_EQ(read(out + "/text-2.txt"), "写真は上です。");
  EXPECT_EQ(read(out + "/file-3.name"), "minutes.pdf");
  EXPECT_EQ(read(out + "/file-3.bin"), minutes);
  EXPECT_EQ(read(out + "/text-4.txt"), "山田");
  EXPECT_TRUE(reporter.boxes().empty());
}

}  // namespace
}  // namespace zorvik::message
