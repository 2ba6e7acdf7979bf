#include "store/FirstRunFlow.h"

#include <algorithm>
#include <cctype>

#include "core/SettingsItemTable.h"
#include "platform/DesktopLauncher.h"
#include "platform/FileSystem.h"
#include "store/StoreLayout.h"
#include "store/TrayNameRule.h"
#include "store/TreeTransfer.h"

namespace zorvik::store {

using core::MessageNumber;

namespace {

// Values of the security and authentication items, and the ports that go
// with TLS from the first byte.
constexpr int kImplicitTls = 2;
constexpr int kAutomaticAuth = 1;
constexpr int kPop3sPort = 995;
constexpr int kSmtpsPort = 465;

// Domain names are compared without regard to case: "TARO@EXAMPLE.JP" is
// as good an address as its lower-case form.
bool containsDomainMark(std::string address) {
  std::transform(address.begin(), address.end(), address.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return address.find(".jp") != std::string::npos || address.find(".com") != std::string::npos;
}

}  // namespace

FirstRunFlow::FirstRunFlow(core::SettingsFile& settings, core::Messages& messages, StartUpPlaces places)
    : settings_(settings), messages_(messages), places_(std::move(places)) {}

std::string FirstRunFlow::accountNameOf(const std::string& address) { return address.substr(0, address.find('@')); }

bool FirstRunFlow::acceptAddress(const std::string& address) {
  if (address.find('@') == std::string::npos) {
    messages_.error(MessageNumber::AddressWithoutAt);
    return false;
  }
  if (!containsDomainMark(address)) {
    messages_.error(MessageNumber::AddressWithoutDomain);
    return false;
  }
  return acceptName(accountNameOf(address), messages_, MessageNumber::TreeNameEmpty);
}

void FirstRunFlow::fillSettings(const AccountSetup& account) {
  // The provider's fixed server names are left empty: the user sets them.
  settings_.setText(core::item::kPopServer, "");
  settings_.setText(core::item::kSmtpServer, "");
  settings_.setText(core::item::kPopUser, account.address);
  settings_.setPlainPassword(core::item::kPopPassword, account.password);
  settings_.setText(core::item::kSenderAddress, account.address);
  settings_.setText(core::item::kSenderName, account.name);
  settings_.setText(core::item::kDialUpEntry, "");
  if (account.secure) {
    settings_.setNumber(core::item::kPopSecurity, kImplicitTls);
    settings_.setNumber(core::item::kPopPort, kPop3sPort);
    settings_.setNumber(core::item::kSmtpSecurity, kImplicitTls);
    settings_.setNumber(core::item::kSmtpPort, kSmtpsPort);
    settings_.setNumber(core::item::kSmtpAuthMethod, kAutomaticAuth);
  }
  settings_.setText(core::item::kStoreRoot,
                    platform::joinPath(places_.programDirectory, accountNameOf(account.address)));
}

bool FirstRunFlow::writeSettings(const std::string& path) {
  settings_.resolveRelativePaths(places_.programDirectory);
  // A current directory always exists for a desktop start; a directory
  // named on the command line may be new.
  if (!platform::isDirectory(places_.currentDirectory)) platform::makeDirectories(places_.currentDirectory);
  if (!settings_.save(messages_, path)) return false;
  if (!settings_.load(path, messages_)) return false;
  settings_.resolveRelativePaths(places_.programDirectory);
  return true;
}

bool FirstRunFlow::buildStore(const std::string& accountName) {
  const std::string accountDirectory = platform::joinPath(places_.programDirectory, accountName);
  const std::string topCabinet = settings_.topCabinetPath();
  const bool built = (platform::isDirectory(accountDirectory) || platform::makeDirectory(accountDirectory)) &&
                     (platform::isDirectory(topCabinet) || platform::makeDirectory(topCabinet)) &&
                     checkTrays(settings_);
  if (!built) messages_.error(MessageNumber::StoreNotBuilt, {topCabinet});
  return built;
}

// A prepared set of cabinets and trays: a missing file is no error, and a
// damaged one has shown its own messages and does not stop the start.
void FirstRunFlow::readTreeStructureFile() {
  const std::string& file = settings_.text(core::item::kTreeStructureFile);
  if (file.empty() || !platform::isRegularFile(file)) return;
  importTree(StoreLocation::fromSettings(settings_), file, messages_);
}

bool FirstRunFlow::run(const std::optional<AccountSetup>& account) {
  if (!account || !acceptAddress(account->address)) return false;
  const std::string accountName = accountNameOf(account->address);
  fillSettings(*account);
  const std::string settingsPath = platform::joinPath(places_.currentDirectory, accountName + ".xm9");
  // The account may be set up already: its settings are the user's work.
  if (platform::pathExists(settingsPath) && !messages_.question(MessageNumber::RebuildExistingSettings, {settingsPath}))
    return false;
  if (!writeSettings(settingsPath)) return false;
  if (!buildStore(accountName)) return false;
  readTreeStructureFile();
  // Where there is no desktop (a server, a script) there is nothing to put a
  // launcher on, and nothing to complain about.
  if (platform::isDirectory(places_.desktopDirectory) &&
      !platform::createDesktopLauncher(places_.desktopDirectory, accountName, places_.programFile, settingsPath))
    messages_.error(MessageNumber::NoDesktopShortcut);
  return true;
}

}  // namespace zorvik::store
