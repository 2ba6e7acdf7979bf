/// \file
/// Runs a Python script with Debian's /usr/bin/python3 (the one the
/// python3-* packages of the tests are installed for) and captures what it
/// prints: how the tests read mail with Python's email package.
#pragma once

#include <string>
#include <vector>

namespace zorvik::test {

/// True when /usr/bin/python3 exists.
bool pythonAvailable();

/// Runs `script` (the program text) with `arguments` and returns its
/// standard output (standard error is appended, so a traceback shows in a
/// failed comparison).
std::string runPython(const std::string& script, const std::vector<std::string>& arguments);

}  // namespace zorvik::test
