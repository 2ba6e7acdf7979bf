#include "support/PythonScript.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/TestEnvironment.h"

namespace zorvik::test {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

std::string quoted(const std::string& argument) {
  std::string out = "'";
  for (const char c : argument) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

bool pythonAvailable() { return std::filesystem::exists(kPython); }

std::string runPython(const std::string& script, const std::vector<std::string>& arguments) {
  ScratchDir scratch;
  const std::string path = scratch.file("script.py");
  std::ofstream(path) << script;
  std::string command = std::string(kPython) + " " + quoted(path);
  for (const std::string& argument : arguments) command += " " + quoted(argument);
  command += " 2>&1";
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return output;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  ::pclose(pipe);
  return output;
}

}  // namespace zorvik::test
