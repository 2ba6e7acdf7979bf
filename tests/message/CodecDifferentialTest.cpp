// The codecs against real peers: glibc iconv, nkf, Python's base64, quopri,
// binascii and hashlib, and coreutils. Inputs are random with a fixed seed,
// plus real Japanese text from tests/data/codecs.
#include "CodecTestHelpers.h"

#include "message/Base64.h"
#include "message/HalfWidthKana.h"
#include "message/JapaneseCodec.h"
#include "message/Md5.h"
#include "message/QuotedPrintable.h"
#include "message/Utf8Decoder.h"
#include "message/Uuencode.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <unistd.h>

namespace zorvik::message::test {
namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kNkfJisToSjis = "nkf -Jsx -m0";

bool hasProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs `command` (a shell command line) with `input` on its standard input
// and returns its standard output. Its standard error and exit code are
// ignored: iconv -c reports the characters it left out that way.
std::string runPeer(const std::string& command, std::string_view input) {
  const zorvik::test::ScratchDir dir;
  const std::string in = dir.file("in");
  EXPECT_TRUE(platform::writeFileAtomically(in, input));
  FILE* pipe = popen((command + " < '" + in + "' 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return {};
  }
  std::string out;
  char buffer[65536];
  for (std::size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

std::vector<std::string> lines(std::string_view text) {
  std::vector<std::string> result;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    result.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return result;
}

std::string joinLines(const std::vector<std::string>& list) {
  std::string text;
  for (const std::string& line : list) text += line + "\n";
  return text;
}

// Applies the Python expression `function` (of the bytes r) to every record
// in one interpreter run; records travel length-prefixed both ways.
std::vector<std::string> pythonMap(const std::string& function, const std::vector<std::string>& records) {
  const zorvik::test::ScratchDir dir;
  const std::string script = dir.file("map.py");
  platform::writeFileAtomically(script,
      "import sys, struct, base64, quopri, binascii, hashlib\n"
      "f = lambda r: " + function + "\n"
      "d = sys.stdin.buffer.read(); i = 0; out = []\n"
      "while i < len(d):\n"
      "    n = struct.unpack('>I', d[i:i+4])[0]; out.append(f(d[i+4:i+4+n])); i += 4 + n\n"
      "sys.stdout.buffer.write(b''.join(struct.pack('>I', len(o)) + o for o in out))\n");
  std::string input;
  for (const std::string& record : records) {
    for (int shift = 24; shift >= 0; shift -= 8) input.push_back(static_cast<char>(record.size() >> shift));
    input += record;
  }
  const std::string output = runPeer(std::string(kPython) + " '" + script + "'", input);
  std::vector<std::string> results;
  for (std::size_t i = 0; i + 4 <= output.size();) {
    std::size_t n = 0;
    for (int k = 0; k < 4; ++k) n = n << 8 | static_cast<unsigned char>(output[i + static_cast<std::size_t>(k)]);
    results.push_back(output.substr(i + 4, n));
    i += 4 + n;
  }
  EXPECT_EQ(results.size(), records.size()) << "python failed on: " << function;
  return results;
}

std::string jisCode(int j1, int j2) { return {static_cast<char>(j1), static_cast<char>(j2)}; }

// The JIS X 0208 codes glibc's ISO-2022-JP knows, found by converting every
// one of the 94 x 94, each on a line of its own, with iconv -c: a code it
// does not know comes back as an empty line.
const std::vector<std::string>& assignedJisCodes() {
  static const std::vector<std::string> codes = [] {
    std::string input;
    for (int j1 = 0x21; j1 <= 0x7E; ++j1)
      for (int j2 = 0x21; j2 <= 0x7E; ++j2) input += "\x1B$B" + jisCode(j1, j2) + "\x1B(B\n";
    const std::vector<std::string> out = lines(runPeer("iconv -c -f ISO-2022-JP -t CP932", input));
    std::vector<std::string> assigned;
    for (std::size_t i = 0; i < out.size(); ++i)
      if (!out[i].empty()) assigned.push_back(jisCode(0x21 + static_cast<int>(i) / 94, 0x21 + static_cast<int>(i) % 94));
    return assigned;
  }();
  return codes;
}

// The assigned codes that glibc maps to the same Unicode character through
// ISO-2022-JP and through CP932, so that its way back accepts them.
const std::vector<std::string>& iconvRoundTripCodes() {
  static const std::vector<std::string> codes = [] {
    std::string input;
    for (const std::string& code : assignedJisCodes()) input += "\x1B$B" + code + "\x1B(B\n";
    const std::vector<std::string> viaJis = lines(runPeer("iconv -f ISO-2022-JP -t UTF-8", input));
    const std::vector<std::string> viaCp932 =
        lines(runPeer("iconv -f CP932 -t UTF-8", joinLines(lines(jisToSjis(input)))));
    std::vector<std::string> same;
    for (std::size_t i = 0; i < assignedJisCodes().size() && i < viaJis.size() && i < viaCp932.size(); ++i)
      if (viaJis[i] == viaCp932[i]) same.push_back(assignedJisCodes()[i]);
    return same;
  }();
  return codes;
}

// NEC row 13: the codes CP932 defines there (circled digits, Roman numerals,
// units), which glibc's ISO-2022-JP refuses.
const std::vector<std::string>& necRow13Codes() {
  static const std::vector<std::string> codes = [] {
    std::vector<std::string> defined;
    for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
      const std::string sjis = jisToSjis("\x1B$B" + jisCode(0x2D, j2));
      if (platform::sjisToUtf8(sjis).find("\xEF\xBF\xBD") == std::string::npos) defined.push_back(jisCode(0x2D, j2));
    }
    return defined;
  }();
  return codes;
}

class CodecDifferential : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* program : {"iconv", "nkf", kPython})
      ASSERT_TRUE(hasProgram(program)) << program << " is needed for the differential tests";
  }
  std::mt19937 random_{20261207};

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  // One random ISO-2022-JP line: ASCII (sometimes after ESC ( J), kanji
  // runs, and when asked half-width katakana runs and NEC row 13.
  std::string randomJisLine(bool extensions, const std::vector<std::string>& codes = assignedJisCodes()) {
    std::string line;
    const int segments = pick(1, 8);
    for (int s = 0; s < segments; ++s) {
      switch (pick(0, extensions ? 3 : 1)) {
        case 0: {
          const bool roman = pick(0, 4) == 0;
          if (roman) line += "\x1B(J";
          for (int n = pick(1, 10); n > 0; --n)
            line.push_back(static_cast<char>(roman ? "abcXYZ019 "[pick(0, 9)] : pick(0x20, 0x7E)));
          if (roman) line += "\x1B(B";
          break;
        }
        case 1: {
          line += pick(0, 3) == 0 ? "\x1B$@" : "\x1B$B";
          for (int n = pick(1, 10); n > 0; --n) line += codes[static_cast<std::size_t>(pick(0, static_cast<int>(codes.size()) - 1))];
          line += "\x1B(B";
          break;
        }
        case 2:
          line += "\x1B(I";
          for (int n = pick(1, 6); n > 0; --n) line.push_back(static_cast<char>(pick(0x21, 0x5F)));
          line += "\x1B(B";
          break;
        default:
          line += "\x1B$B" + necRow13Codes()[static_cast<std::size_t>(pick(0, static_cast<int>(necRow13Codes().size()) - 1))] + "\x1B(B";
      }
    }
    return line;
  }
};

TEST_F(CodecDifferential, EveryJisX0208CodeAgreesWithIconvAndNkf) {
  std::string input;
  for (int j1 = 0x21; j1 <= 0x7E; ++j1)
    for (int j2 = 0x21; j2 <= 0x7E; ++j2) input += "\x1B$B" + jisCode(j1, j2) + "\x1B(B\n";
  const std::vector<std::string> viaIconv = lines(runPeer("iconv -c -f ISO-2022-JP -t CP932", input));
  const std::vector<std::string> viaNkf = lines(runPeer(kNkfJisToSjis, input));
  const std::vector<std::string> ours = lines(jisToSjis(input));
  ASSERT_EQ(ours.size(), 94u * 94u);
  ASSERT_EQ(viaIconv.size(), ours.size());
  ASSERT_EQ(viaNkf.size(), ours.size());
  ASSERT_GT(assignedJisCodes().size(), 6800u);
  for (std::size_t i = 0; i < ours.size(); ++i) {
    if (!viaIconv[i].empty()) {
      EXPECT_EQ(ours[i], viaIconv[i]) << "code " << i;
    }
    // nkf writes the NEC-selected rows 89-92 as the IBM codes of the same
    // characters; there the characters, not the bytes, must agree.
    const bool necSelected = i / 94 >= 88 && i / 94 <= 91;
    if (necSelected)
      EXPECT_EQ(platform::sjisToUtf8(ours[i]), platform::sjisToUtf8(viaNkf[i])) << "code " << i;
    else
      EXPECT_EQ(ours[i], viaNkf[i]) << "code " << i;
  }
}

TEST_F(CodecDifferential, RandomJisLinesAgreeWithIconvAndNkf) {
  ASSERT_GT(assignedJisCodes().size(), 6800u);
  std::vector<std::string> plain;
  std::vector<std::string> all;
  for (int i = 0; i < 12000; ++i) {
    const bool extensions = i % 3 == 0;
    all.push_back(randomJisLine(extensions));
    if (!extensions) plain.push_back(all.back());
  }
  const std::vector<std::string> viaIconv = lines(runPeer("iconv -f ISO-2022-JP -t CP932", joinLines(plain)));
  const std::vector<std::string> viaNkf = lines(runPeer(kNkfJisToSjis, joinLines(all)));
  ASSERT_EQ(viaIconv.size(), plain.size());
  ASSERT_EQ(viaNkf.size(), all.size());
  for (std::size_t i = 0; i < plain.size(); ++i) ASSERT_EQ(jisToSjis(plain[i]), viaIconv[i]) << plain[i];
  for (std::size_t i = 0; i < all.size(); ++i) ASSERT_EQ(jisToSjis(all[i]), viaNkf[i]) << all[i];

  // Every line, katakana and row 13 included, comes back unchanged.
  for (const std::string& sjis : viaNkf) ASSERT_EQ(jisToSjis(sjisToJis(sjis)), sjis);
}

TEST_F(CodecDifferential, RandomSjisLinesAgreeWithIconvAndNkf) {
  // iconv's CP932 and ISO-2022-JP map a few codes to different Unicode
  // characters (～ U+FF5E against 〜 U+301C, among others), so its way back
  // refuses them: its lines keep to the codes both map alike. nkf takes all,
  // row 13 too; it writes half-width katakana with ESC ( I where we keep the
  // 8-bit bytes, so those lines are left to the round trip above.
  ASSERT_GT(iconvRoundTripCodes().size(), 6000u);
  std::vector<std::string> all;
  for (int i = 0; i < 8000; ++i) all.push_back(jisToSjis(randomJisLine(i % 2 == 0)));
  std::vector<std::string> forIconv;
  std::vector<std::string> forNkf;
  for (const std::string& line : all) {
    const bool kana = std::any_of(line.begin(), line.end(), [](char c) {
      return static_cast<unsigned char>(c) >= 0xA1 && static_cast<unsigned char>(c) <= 0xDF;
    });
    if (!kana) forNkf.push_back(line);
  }
  for (int i = 0; i < 8000; ++i) forIconv.push_back(jisToSjis(randomJisLine(false, iconvRoundTripCodes())));
  const std::vector<std::string> viaIconv = lines(runPeer("iconv -f CP932 -t ISO-2022-JP", joinLines(forIconv)));
  const std::vector<std::string> viaNkf = lines(runPeer("nkf -Sjx -m0", joinLines(forNkf)));
  ASSERT_EQ(viaIconv.size(), forIconv.size());
  ASSERT_EQ(viaNkf.size(), forNkf.size());
  for (std::size_t i = 0; i < forIconv.size(); ++i) ASSERT_EQ(sjisToJis(forIconv[i]), viaIconv[i]);
  for (std::size_t i = 0; i < forNkf.size(); ++i) ASSERT_EQ(sjisToJis(forNkf[i]), viaNkf[i]);
}

TEST_F(CodecDifferential, RealJapaneseTextRoundTrips) {
  const auto utf8 = platform::readFile(zorvik::test::testDataDir() + "/codecs/japanese.utf8.txt");
  ASSERT_TRUE(utf8.has_value());
  const std::vector<std::string> utf8Lines = lines(*utf8);
  std::vector<std::string> jisLines;
  for (const std::string& line : utf8Lines) {
    const std::string sjis = platform::utf8ToSjis(line);
    jisLines.push_back(sjisToJis(hankanaToZenkana(sjis)));
    // IBM codes come back as their NEC twins: compare the characters.
    EXPECT_EQ(platform::sjisToUtf8(jisToSjis(sjisToJis(sjis))), line);
  }
  // nkf reads what we wrote as the same text (half-width katakana having
  // gone full width first, as mail leaves with item 505 on). nkf gives the
  // IBM codes where we give their NEC twins: compare as CP932 characters.
  const std::vector<std::string> viaNkf = lines(runPeer(kNkfJisToSjis, joinLines(jisLines)));
  ASSERT_EQ(viaNkf.size(), utf8Lines.size());
  for (std::size_t i = 0; i < viaNkf.size(); ++i)
    EXPECT_EQ(platform::sjisToUtf8(viaNkf[i]), platform::sjisToUtf8(jisToSjis(jisLines[i]))) << utf8Lines[i];
}

TEST_F(CodecDifferential, HalfWidthKanaAgreesWithNkf) {
  std::vector<std::string> kana;
  for (int c = 0xA1; c <= 0xDF; ++c) kana.emplace_back(1, static_cast<char>(c));
  const std::vector<std::string> viaNkf = lines(runPeer("nkf -Ss -m0", joinLines(kana)));
  ASSERT_EQ(viaNkf.size(), kana.size());
  for (std::size_t i = 0; i < kana.size(); ++i) EXPECT_EQ(hankanaToZenkana(kana[i]), viaNkf[i]);
}

TEST_F(CodecDifferential, Utf8AgreesWithIconv) {
  // Characters from the real text, with emoji where the expected text has
  // the geta mark that iconv turns into the same replacement.
  const auto text = platform::readFile(zorvik::test::testDataDir() + "/codecs/japanese.utf8.txt");
  ASSERT_TRUE(text.has_value());
  std::vector<std::string> chars;
  for (std::size_t i = 0; i < text->size();) {
    std::size_t n = 1;
    while (i + n < text->size() && (static_cast<unsigned char>((*text)[i + n]) & 0xC0) == 0x80) ++n;
    if ((*text)[i] != '\n') chars.push_back(text->substr(i, n));
    i += n;
  }
  std::vector<std::string> withEmoji;
  std::vector<std::string> withGeta;
  for (int i = 0; i < 3000; ++i) {
    std::string line;
    std::string expected;
    for (int n = pick(1, 40); n > 0; --n) {
      const bool emoji = pick(0, 30) == 0;
      const std::string& c = chars[static_cast<std::size_t>(pick(0, static_cast<int>(chars.size()) - 1))];
      line += emoji ? "\xF0\x9F\x98\x80" : c;
      expected += emoji ? "\xE3\x80\x93" : c;
    }
    withEmoji.push_back(line);
    withGeta.push_back(expected);
  }
  const std::vector<std::string> viaIconv = lines(runPeer("iconv -f UTF-8 -t CP932", joinLines(withGeta)));
  ASSERT_EQ(viaIconv.size(), withEmoji.size());
  for (std::size_t i = 0; i < withEmoji.size(); ++i) {
    Utf8Decoder decoder;
    std::string ours;
    decoder.decode(withEmoji[i], ours);
    ASSERT_EQ(ours, viaIconv[i]) << withEmoji[i];
  }
}

std::vector<std::string> randomBlobs(std::mt19937& random, int count, int maxSize) {
  std::vector<std::string> blobs;
  for (int i = 0; i < count; ++i) {
    std::string blob(static_cast<std::size_t>(std::uniform_int_distribution<int>(0, maxSize)(random)), '\0');
    for (char& c : blob) c = static_cast<char>(random());
    blobs.push_back(blob);
  }
  return blobs;
}

TEST_F(CodecDifferential, Base64AgreesWithPython) {
  std::vector<std::string> blobs = randomBlobs(random_, 300, 3000);
  blobs.push_back(std::string(1 << 20, '\xAB'));
  const PipelineKinds kinds{TransferKind::base64, CharsetKind::none, OutputKind::binary};
  const std::vector<std::string> folded = pythonMap("base64.encodebytes(r)", blobs);
  const std::vector<std::string> single = pythonMap("base64.b64encode(r)", blobs);
  for (std::size_t i = 0; i < blobs.size(); ++i) {
    ASSERT_EQ(runPipeline(kinds, splitLines(folded[i])), blobs[i]);
    ASSERT_EQ(runPipeline(kinds, {single[i]}), blobs[i]);
    ASSERT_EQ(base64Encode(blobs[i]), single[i]);
  }
  // Our attachment bodies read back by Python, and by coreutils.
  std::vector<std::string> bodies;
  for (const std::string& blob : blobs) bodies.push_back(base64MimeBody(blob));
  EXPECT_EQ(pythonMap("base64.b64decode(r)", bodies), blobs);
  EXPECT_EQ(runPeer("base64 -d -i", bodies.front()), blobs.front());
}

TEST_F(CodecDifferential, QuotedPrintableAgreesWithPython) {
  std::vector<std::string> texts;
  for (int i = 0; i < 400; ++i) {
    std::string text;
    for (int n = pick(0, 8); n > 0; --n) {
      for (int k = pick(0, 120); k > 0; --k) {
        const int kind = pick(0, 9);
        text.push_back(static_cast<char>(kind < 6 ? pick(0x20, 0x7E) : kind < 8 ? pick(0x80, 0xFF) : kind == 8 ? '=' : ' '));
      }
      text += "\n";
    }
    texts.push_back(text);
  }
  const std::vector<std::string> encoded = pythonMap("quopri.encodestring(r)", texts);
  const std::vector<std::string> decoded = pythonMap("quopri.decodestring(r)", encoded);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    ASSERT_EQ(decodeQuotedPrintable(encoded[i]), decoded[i]) << encoded[i];
    ASSERT_EQ(decoded[i], texts[i]);
    // The same body with CR LF line ends, as it comes from the server.
    std::string crlf;
    std::string expected;
    for (const char c : encoded[i]) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const char c : texts[i]) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const PipelineKinds kinds{TransferKind::quotedPrintable, CharsetKind::none, OutputKind::binary};
    ASSERT_EQ(runPipeline(kinds, splitLines(crlf)), expected);
  }
}

TEST_F(CodecDifferential, UuencodeAgreesWithPython) {
  const std::vector<std::string> blobs = randomBlobs(random_, 200, 500);
  const std::vector<std::string> viaPython = pythonMap(
      "b''.join(binascii.b2a_uu(r[i:i+45], backtick=True) for i in range(0, len(r), 45)) + "
      "binascii.b2a_uu(b'', backtick=True)",
      blobs);
  const PipelineKinds kinds{TransferKind::uuencode, CharsetKind::none, OutputKind::binary};
  for (std::size_t i = 0; i < blobs.size(); ++i) {
    std::string ours;
    for (const std::string& line : lines(uuencodeBody(blobs[i], "f")))
      if (!line.starts_with("begin") && !line.starts_with("end") && line != "\r") ours += line.substr(0, line.size() - 1) + "\n";
    ASSERT_EQ(ours, viaPython[i]);
    ASSERT_EQ(runPipeline(kinds, splitLines("begin 644 f\n" + viaPython[i] + "end\n")), blobs[i]);
  }
}

TEST_F(CodecDifferential, Md5AgreesWithPython) {
  std::vector<std::string> blobs = randomBlobs(random_, 200, 300);
  for (int n : {0, 55, 56, 63, 64, 65, 119, 120}) blobs.emplace_back(static_cast<std::size_t>(n), 'a');
  const std::vector<std::string> viaPython = pythonMap("hashlib.md5(r).hexdigest().encode()", blobs);
  for (std::size_t i = 0; i < blobs.size(); ++i) ASSERT_EQ(Md5::hex(blobs[i]), viaPython[i]);
  // The APOP example of RFC 1939.
  EXPECT_EQ(Md5::hex("<1896.697170952@dbc.mtview.ca.us>tanstaaf"), "c4c9334bac560ecc979e58001b3e22fb");
}

}  // namespace
}  // namespace zorvik::message::test
