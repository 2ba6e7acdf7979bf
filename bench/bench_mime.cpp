// MIME decoding of received mail against two peers on the same mails, in
// the same run: Python's email package (parse, decode every leaf part,
// write it out) and GMime 3 (the same, loaded at run time when installed).
// The corpus is ZORVIK_BENCH_MIME_MAILS mixed mails (default 10,000, about
// 300 MB): ISO-2022-JP text, quoted-printable UTF-8 HTML in an alternative,
// a base64 JPEG, every fifth an attached mail. Zorvik decodes each into the
// new-mail work file and saves the attachments, as a receive does; the
// peers write every decoded part to a file as well. Targets: 10x faster than
// Python, within 3x of GMime.
#include <benchmark/benchmark.h>

#include "core/Messages.h"
#include "message/Base64.h"
#include "message/FileByteSink.h"
#include "message/JapaneseCodec.h"
#include "message/MimeDecoder.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace zorvik;

int mailCount() {
  const char* value = std::getenv("ZORVIK_BENCH_MIME_MAILS");
  return value ? std::atoi(value) : 10000;
}

struct Scratch {
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorvik-mime-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    path = pattern;
  }
  ~Scratch() { std::filesystem::remove_all(path); }
  std::string file(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

std::string japaneseLine(std::mt19937& random) {
  static const char* const kWords[] = {"日本語", "メール", "添付ファイル", "会議の予定", "よろしくお願いします",
                                       "資料", "確認", "東京", "Hello", "world", "2026年12月"};
  std::string line;
  for (int n = std::uniform_int_distribution<int>(4, 12)(random); n > 0; --n)
    line += std::string(kWords[random() % std::size(kWords)]) + " ";
  return line;
}

std::string quotedPrintable(std::string_view bytes) {
  std::string out;
  std::size_t column = 0;
  for (const char c : bytes) {
    char piece[4] = {c, 0, 0, 0};
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      out += "\r\n";
      column = 0;
      continue;
    }
    if (byte >= 0x80 || c == '=') std::snprintf(piece, sizeof piece, "=%02X", byte);
    const std::string_view text(piece);
    if (column + text.size() > 75) {
      out += "=\r\n";
      column = 0;
    }
    out += text;
    column += text.size();
  }
  return out + "\r\n";
}

std::string textPart(std::mt19937& random) {
  std::string jis;
  for (int line = 0; line < 25; ++line) {
    message::appendSjisToJis(jis, platform::utf8ToSjis(japaneseLine(random)));
    jis += "\r\n";
  }
  return "Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 7bit\r\n\r\n" + jis;
}

std::string htmlPart(std::mt19937& random) {
  std::string html = "<html><body>\n";
  for (int line = 0; line < 15; ++line) html += "<p>" + japaneseLine(random) + "</p>\n";
  return "Content-Type: text/html; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n" +
         quotedPrintable(html + "</body></html>\n");
}

std::string jpegPart(std::mt19937& random, int index) {
  std::string data(18000, '\0');
  for (char& c : data) c = static_cast<char>(random());
  return "Content-Type: image/jpeg; name=\"photo" + std::to_string(index) +
         ".jpg\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" + message::base64MimeBody(data);
}

std::string mail(std::mt19937& random, int index) {
  const std::string mix = "mix" + std::to_string(index);
  std::string text = "From: sender" + std::to_string(index) + "@example.jp\r\nTo: user@example.jp\r\n" +
                     "Subject: " + message::sjisToJis(platform::utf8ToSjis("定例会議の資料"), message::JisRuns::encodedWords) +
                     "\r\nDate: Mon, 07 Dec 2026 09:30:00 +0900\r\nMessage-ID: <" + std::to_string(index) +
                     "@bench.example.jp>\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"" + mix +
                     "\"\r\n\r\nThis is a multi-part message in MIME format.\r\n";
  if (index % 2 == 0) {
    const std::string alt = "alt" + std::to_string(index);
    text += "--" + mix + "\r\nContent-Type: multipart/alternative; boundary=\"" + alt + "\"\r\n\r\n";
    text += "--" + alt + "\r\n" + textPart(random) + "--" + alt + "\r\n" + htmlPart(random) + "--" + alt + "--\r\n";
  } else {
    text += "--" + mix + "\r\n" + textPart(random);
  }
  text += "--" + mix + "\r\n" + jpegPart(random, index);
  if (index % 5 == 0)
    text += "--" + mix + "\r\nContent-Type: message/rfc822\r\n\r\nFrom: inner@example.jp\r\nSubject: inner\r\n"
            "Date: Sun, 06 Dec 2026 10:00:00 +0900\r\n\r\ninner text\r\n";
  return text + "--" + mix + "--\r\n";
}

// The corpus on disk (for the peers) and in memory in server form (for us).
struct Corpus {
  Corpus() {
    std::mt19937 random(5);
    std::filesystem::create_directories(scratch.file("mails"));
    for (int i = 0, n = mailCount(); i < n; ++i) {
      const std::string text = mail(random, i);
      bytes += text.size();
      char name[32];
      std::snprintf(name, sizeof name, "mails/%05d.eml", i);
      std::FILE* file = std::fopen(scratch.file(name).c_str(), "wb");
      std::fwrite(text.data(), 1, text.size(), file);
      std::fclose(file);
      wire.push_back(message::MimeDecoder::wireForm(text));
      raw.push_back(text);
    }
  }
  Scratch scratch;
  std::vector<std::string> wire;  // server form, for us
  std::vector<std::string> raw;   // as written to the files, for GMime
  std::size_t bytes = 0;
};

const Corpus& corpus() {
  static const Corpus instance;
  return instance;
}

class NoReporter : public core::Reporter {
public:
  bool show(core::MessageKind, const std::string&, const std::string&) override { return false; }
};

void setCounters(benchmark::State& state) {
  const auto mails = static_cast<double>(corpus().wire.size());
  state.counters["mails/s"] = benchmark::Counter(mails, benchmark::Counter::kIsIterationInvariantRate);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus().bytes));
}

void BM_ZorvikMimeDecoder(benchmark::State& state) {
  const Corpus& mails = corpus();
  NoReporter reporter;
  core::Messages messages(reporter);
  message::MimeDecoderSettings settings;
  settings.expandTextAttachments = false;
  const Scratch out;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();  // clearing the last round's output is not part of receiving
    std::filesystem::remove_all(out.path + "/round");
    const std::string dir = out.file("round/" + std::to_string(round++));
    std::filesystem::create_directories(dir);
    settings.attachmentRoot = dir + "/.inc";
    settings.workDirectory = dir + "/.tmp";
    state.ResumeTiming();
    message::FileByteSink work(dir + "/RxMail", message::FileByteSink::Mode::append);
    message::AttachmentFolderNumbers folders;  // as a receive keeps them
    for (const auto& text : mails.wire) {
      work.write("From  \r\n");
      message::MimeDecoder decoder(settings, messages, folders);
      if (!decoder.decode(work, text)) state.SkipWithError("decoding failed");
    }
    work.close();
  }
  setCounters(state);
}

// Python reads, parses and decodes every mail and writes each leaf part to a
// file; it reports the wall and CPU seconds of that loop alone (no
// interpreter start).
constexpr const char* kPythonScript = R"(
import email, os, sys, time
src, dst = sys.argv[1], sys.argv[2]
names = sorted(os.listdir(src))
start, cpu = time.perf_counter(), time.process_time()
for name in names:
    with open(os.path.join(src, name), 'rb') as f:
        msg = email.message_from_binary_file(f)
    for n, part in enumerate(msg.walk()):
        if part.is_multipart():
            continue
        data = part.get_payload(decode=True) or b''
        if part.get_content_maintype() == 'text':
            data = data.decode(part.get_content_charset() or 'ascii', 'replace').encode('cp932', 'replace')
        with open(os.path.join(dst, '%s.%d' % (name, n)), 'wb') as out:
            out.write(data)
print(time.perf_counter() - start, time.process_time() - cpu)
)";

void BM_PythonEmail(benchmark::State& state) {
  const Corpus& mails = corpus();
  for (auto _ : state) {
    const Scratch out;
    const std::string script = out.file("decode.py");
    std::FILE* file = std::fopen(script.c_str(), "w");
    std::fputs(kPythonScript, file);
    std::fclose(file);
    const std::string command =
        "/usr/bin/python3 '" + script + "' '" + mails.scratch.file("mails") + "' '" + out.path + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    double seconds = 0;
    double cpuSeconds = 0;
    if (!pipe || std::fscanf(pipe.get(), "%lf %lf", &seconds, &cpuSeconds) != 2) state.SkipWithError("python failed");
    state.SetIterationTime(seconds);
    // On a busy machine the wall time says little; the CPU time of the
    // Python process compares with the CPU column of the other two.
    state.counters["python_cpu_ms"] = cpuSeconds * 1000;
  }
  setCounters(state);
}

// GMime 3 through dlopen, so the bench needs no GMime headers at build time.
struct GMime {
  using Init = void (*)();
  using MemNew = void* (*)(const char*, std::size_t);
  using ParserNew = void* (*)(void*);
  using Construct = void* (*)(void*, void*);
  using Callback = void (*)(void*, void*, void*);
  using Foreach = void (*)(void*, Callback, void*);
  using ContentType = void* (*)(void*);
  using IsType = int (*)(void*, const char*, const char*);
  using GetContent = void* (*)(void*);
  using WriteTo = long (*)(void*, void*);
  using MemEmpty = void* (*)();
  using ByteArray = void* (*)(void*);
  using Unref = void (*)(void*);

  GMime() {
    handle = dlopen("libgmime-3.0.so.0", RTLD_NOW);
    void* gobject = dlopen("libgobject-2.0.so.0", RTLD_NOW);
    if (!handle || !gobject) return;
    init = reinterpret_cast<Init>(dlsym(handle, "g_mime_init"));
    memNew = reinterpret_cast<MemNew>(dlsym(handle, "g_mime_stream_mem_new_with_buffer"));
    memEmpty = reinterpret_cast<MemEmpty>(dlsym(handle, "g_mime_stream_mem_new"));
    byteArray = reinterpret_cast<ByteArray>(dlsym(handle, "g_mime_stream_mem_get_byte_array"));
    parserNew = reinterpret_cast<ParserNew>(dlsym(handle, "g_mime_parser_new_with_stream"));
    construct = reinterpret_cast<Construct>(dlsym(handle, "g_mime_parser_construct_message"));
    foreach = reinterpret_cast<Foreach>(dlsym(handle, "g_mime_message_foreach"));
    contentType = reinterpret_cast<ContentType>(dlsym(handle, "g_mime_object_get_content_type"));
    isType = reinterpret_cast<IsType>(dlsym(handle, "g_mime_content_type_is_type"));
    getContent = reinterpret_cast<GetContent>(dlsym(handle, "g_mime_part_get_content"));
    writeTo = reinterpret_cast<WriteTo>(dlsym(handle, "g_mime_data_wrapper_write_to_stream"));
    unref = reinterpret_cast<Unref>(dlsym(gobject, "g_object_unref"));
    ready = init && memNew && memEmpty && byteArray && parserNew && construct && foreach && contentType && isType &&
            getContent && writeTo && unref;
    if (ready) init();
  }
  void* handle = nullptr;
  bool ready = false;
  Init init = nullptr;
  MemNew memNew = nullptr;
  MemEmpty memEmpty = nullptr;
  ByteArray byteArray = nullptr;
  ParserNew parserNew = nullptr;
  Construct construct = nullptr;
  Foreach foreach = nullptr;
  ContentType contentType = nullptr;
  IsType isType = nullptr;
  GetContent getContent = nullptr;
  WriteTo writeTo = nullptr;
  Unref unref = nullptr;
};

struct GMimeVisit {
  const GMime* gmime;
  std::string prefix;
  int part = 0;
};

// GByteArray: guint8* data; guint len.
struct GByteArrayView {
  unsigned char* data;
  unsigned int len;
};

void writeLeaf(void* /*parent*/, void* object, void* data) {
  auto& visit = *static_cast<GMimeVisit*>(data);
  const GMime& g = *visit.gmime;
  void* type = g.contentType(object);
  if (g.isType(type, "multipart", "*") || g.isType(type, "message", "*")) return;
  void* content = g.getContent(object);
  if (!content) return;
  void* stream = g.memEmpty();
  g.writeTo(content, stream);
  const auto* bytes = static_cast<const GByteArrayView*>(g.byteArray(stream));
  const std::string path = visit.prefix + "." + std::to_string(visit.part++);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes->data, 1, bytes->len, file);
  std::fclose(file);
  g.unref(stream);
}

void BM_GMime(benchmark::State& state) {
  static const GMime gmime;
  if (!gmime.ready) {
    state.SkipWithError("GMime 3 is not installed");
    return;
  }
  const Corpus& mails = corpus();
  const Scratch out;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(out.path + "/round");
    const std::string dir = out.file("round/" + std::to_string(round++));
    std::filesystem::create_directories(dir);
    state.ResumeTiming();
    for (std::size_t i = 0; i < mails.raw.size(); ++i) {
      const std::string& text = mails.raw[i];
      void* stream = gmime.memNew(text.data(), text.size());
      void* parser = gmime.parserNew(stream);
      void* message = gmime.construct(parser, nullptr);
      GMimeVisit visit{&gmime, dir + "/" + std::to_string(i), 0};
      if (message) gmime.foreach(message, writeLeaf, &visit);
      if (message) gmime.unref(message);
      gmime.unref(parser);
      gmime.unref(stream);
    }
  }
  setCounters(state);
}

}  // namespace

BENCHMARK(BM_ZorvikMimeDecoder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PythonEmail)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_GMime)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
