#include "ui/CertificateDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/OkCancelButtons.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {
namespace {

QLabel* selectable(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setWordWrap(true);
  return label;
}

}  // namespace

CertificateDialog::CertificateDialog(const std::vector<net::ServerReport>& reports, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("サーバー証明書"));
  UiLog::global().watch(this);
  auto* layout = new QVBoxLayout(this);
  for (const net::ServerReport& report : reports) {
    auto* box = new QGroupBox(QStringLiteral("%1:%2").arg(fromSjis(report.host)).arg(report.port), this);
    auto* form = new QFormLayout(box);
    if (!report.configured) {
      form->addRow(selectable(QStringLiteral("サーバーが設定されていません。"), box));
    } else if (!report.certificate) {
      form->addRow(selectable(report.mode == net::TlsMode::None ? QStringLiteral("暗号化しない接続です。")
                                                                : QStringLiteral("証明書を受け取れませんでした。"),
                              box));
    } else {
      const net::TlsCertificate& certificate = *report.certificate;
      form->addRow(QStringLiteral("発行先："), selectable(fromSjis(certificate.subject), box));
      form->addRow(QStringLiteral("発行者："), selectable(fromSjis(certificate.issuer), box));
      form->addRow(QStringLiteral("有効期間："), selectable(fromSjis(certificate.validFrom + " - " + certificate.validUntil), box));
      form->addRow(QStringLiteral("SHA-256："), selectable(fromSjis(certificate.sha256), box));
      if (!report.tlsRefusal.empty()) form->addRow(QStringLiteral("拒否の理由："), selectable(fromSjis(report.tlsRefusal), box));
      auto* trust = new QCheckBox(QStringLiteral("この証明書を信頼する(&T)"), box);
      trust->setChecked(report.trustedByFingerprint);
      form->addRow(trust);
      checks_.emplace_back(trust, certificate.sha256);
    }
    layout->addWidget(box);
  }
  QDialogButtonBox* buttons = okCancelButtons(*this);
  layout->addWidget(buttons);
  setMinimumWidth(520);
}

std::vector<std::string> CertificateDialog::trusted() const {
  std::vector<std::string> fingerprints;
  for (const auto& [check, fingerprint] : checks_)
    if (check->isChecked()) fingerprints.push_back(fingerprint);
  return fingerprints;
}

std::vector<std::string> CertificateDialog::check(const core::SettingsFile& settings, core::Messages& messages,
                                                  QWidget* parent) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  net::ServerCheck check(settings, messages);
  std::vector<net::ServerReport> reports{check.checkReceive(), check.checkSend()};
  QApplication::restoreOverrideCursor();
  CertificateDialog dialog(reports, parent);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.trusted();
}

}  // namespace zorvik::ui
