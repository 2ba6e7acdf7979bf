/// \file
/// The account dialog of a first start: the user's name, mail address and
/// password, from which the first-run flow writes the settings file and
/// builds the store. The flow itself judges the address (43022 without an
/// "@", 43023 without ".jp" or ".com"); this dialog only collects, and
/// hands the fields over in Shift_JIS.
///
/// "設定" is offered once all three fields hold something. Encrypted
/// connections (POP3 over TLS on 995, SMTP over TLS on 465 with
/// authentication) are proposed, checked; unchecked, the account keeps the
/// plain ports.
#pragma once

#include <QDialog>
#include <optional>

#include "store/DocumentOpen.h"
#include "store/FirstRunFlow.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace zorvik::ui {

class AccountSetupDialog : public QDialog {
  Q_OBJECT

public:
  explicit AccountSetupDialog(QWidget* parent = nullptr);

  /// The fields as the first-run flow takes them.
  store::AccountSetup account() const;

  /// Shows the dialog; empty when it was cancelled.
  static std::optional<store::AccountSetup> ask(QWidget* parent = nullptr);
  /// ask() in the form mailflow::StartUp::open takes.
  static store::DocumentOpen::AccountDialog asker(QWidget* parent = nullptr);

  QLineEdit* nameField() const { return name_; }
  QLineEdit* addressField() const { return address_; }
  QLineEdit* passwordField() const { return password_; }
  QCheckBox* secureBox() const { return secure_; }
  QPushButton* setUpButton() const { return setUp_; }

private:
  void updateButton();

  QLineEdit* name_;
  QLineEdit* address_;
  QLineEdit* password_;
  QCheckBox* secure_;
  QPushButton* setUp_;
};

}  // namespace zorvik::ui
