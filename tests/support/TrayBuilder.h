/// \file
/// Builds trays in a scratch store for the tray tests: a store root with a
/// top cabinet, trays created with given properties, mails appended with a
/// subject and a few body lines, and the raw bytes of any file read back.
#pragma once

#include <cstdint>
#include <string>

#include "store/TrayFile.h"
#include "support/TestEnvironment.h"

namespace zorvik::test {

class TrayBuilder {
public:
  /// A store with the top cabinet "Top" in a fresh scratch folder.
  TrayBuilder();

  const store::StoreLocation& store() const { return store_; }
  store::TrayFile tray(const std::string& name) const { return store::TrayFile(store_, name); }
  /// Creates tray `name` with default properties and returns it.
  store::TrayFile createTray(const std::string& name) const;

  /// A mail whose header is "Subject: <subject>" and "Message-Id: <...>"
  /// and whose body is `bodyLines` lines "line N".
  static store::MailText mail(const std::string& subject, int bodyLines = 2);
  /// Appends `mail(subject, bodyLines)` with a record carrying the subject.
  std::uint32_t append(const store::TrayFile& tray, const std::string& subject, int bodyLines = 2) const;

  /// The whole content of a file, "" when it is missing.
  static std::string bytes(const std::string& path);
  /// Overwrites a file with `content`.
  static void write(const std::string& path, const std::string& content);

private:
  ScratchDir scratch_;
  store::StoreLocation store_;
};

}  // namespace zorvik::test
