/// \file
/// "サーバー証明書": what connecting to the receive and the send server as
/// the settings stand showed of each server's certificate (subject,
/// issuer, validity, SHA-256 fingerprint, why it was refused), with a check
/// "この証明書を信頼する" for each; OK gives the fingerprints checked, to be
/// kept among the trusted ones.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "net/ServerCheck.h"

class QCheckBox;

namespace zorvik::ui {

class CertificateDialog : public QDialog {
  Q_OBJECT

public:
  CertificateDialog(const std::vector<net::ServerReport>& reports, QWidget* parent = nullptr);

  /// The fingerprints whose check is on.
  std::vector<std::string> trusted() const;

  /// Connects with `settings` and shows the dialog; the fingerprints to
  /// trust (none when cancelled).
  static std::vector<std::string> check(const core::SettingsFile& settings, core::Messages& messages, QWidget* parent);

private:
  std::vector<std::pair<QCheckBox*, std::string>> checks_;
};

}  // namespace zorvik::ui
