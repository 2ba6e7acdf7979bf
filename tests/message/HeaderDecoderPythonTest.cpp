// Our decoder against Python's email.header on the same header values: a
// second, independent reading of RFC 2047. Results are compared as UTF-8;
// characters code page 932 cannot hold appear on both sides as the geta mark.
#include "message/EncodedWordDecoder.h"

#include "platform/TextEncoding.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace zorvik::message {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

std::vector<std::string> samples(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<std::string> values;
  for (std::string line; std::getline(file, line);)
    if (!line.empty() && line.front() != '#') values.push_back(line);
  return values;
}

std::vector<std::string> pythonResults(const std::string& script, const std::string& samplePath) {
  const std::string command = std::string(kPython) + " '" + script + "' '" + samplePath + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::vector<std::string> lines;
  if (!pipe) return lines;
  std::string output;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, n);
  for (std::size_t start = 0, end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(output.substr(start, end - start));
  return lines;
}

TEST(HeaderDecoderPython, AgreesWithEmailHeader) {
  if (!std::filesystem::exists(kPython)) GTEST_SKIP() << "no " << kPython;
  const std::string dir = test::testDataDir() + "/headers";
  const std::string samplePath = dir + "/encoded-words.txt";
  const std::vector<std::string> values = samples(samplePath);
  const std::vector<std::string> expected = pythonResults(dir + "/decode_with_python.py", samplePath);
  ASSERT_GE(values.size(), 20u);
  ASSERT_EQ(expected.size(), values.size()) << "Python did not decode every sample";
  for (std::size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(platform::sjisToUtf8(EncodedWordDecoder::decode(values[i])), expected[i]) << values[i];
}

}  // namespace
}  // namespace zorvik::message
