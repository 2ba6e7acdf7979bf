/// \file
/// The demo account of scripts/demo-store.sh (cabinets, trays with Japanese
/// mails, read and marked mails, a link), built with this build's zorvik-cli:
/// the desktop client's tests and the command-line tests start from it.
#pragma once

#include <string>

namespace zorvik::test {

/// Builds the demo account and store in `folder` (its HOME in
/// `folder`/home); the settings file's path in UTF-8, empty when the script
/// failed.
std::string makeDemoStore(const std::string& folder);

}  // namespace zorvik::test
