/// \file
/// The user's signature for a draft, as a tray chooses it (tray property
/// 1010): 0 none, 1 automatic, 2 the Japanese signature (settings item 506),
/// 3 the English one (item 507). The automatic signature is the tray's
/// signature file (property 1026, "<name>.XM8" in the template folder's
/// "Sign"), or else the Japanese signature when the draft goes to a ".jp"
/// address and the English one otherwise. The file is read once and kept.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compose/TemplateFiles.h"
#include "core/SettingsFile.h"
#include "store/TrayProperties.h"

namespace zorvik::compose {

class Signatures {
public:
  enum Kind : int { kNone = 0, kAutomatic = 1, kJapanese = 2, kEnglish = 3 };

  /// `settings` must outlive the object.
  Signatures(const core::SettingsFile& settings, const store::TrayProperties& tray);

  /// The lines of the signature of `kind` for a draft whose To value is
  /// `to`; none for kNone or an unknown kind.
  std::vector<std::string> lines(int kind, std::string_view to) const;
  /// The tray's own signature.
  std::vector<std::string> ofTray(std::string_view to) const { return lines(trayKind_, to); }
  int trayKind() const { return trayKind_; }

private:
  const core::SettingsFile& settings_;
  int trayKind_;
  std::string signatureFile_;
  mutable std::optional<std::optional<std::vector<std::string>>> fileLines_;
};

}  // namespace zorvik::compose
