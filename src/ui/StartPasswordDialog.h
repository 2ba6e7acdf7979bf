/// \file
/// The start-up password's two dialogs: "起動時パスワード" asks for it (at
/// start, and when the window is restored), "パスワード設定" sets it (typed
/// twice). A wrong password clears the field and asks again; cancelling
/// gives up.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;

namespace zorvik::ui {

class StartPasswordDialog : public QDialog {
  Q_OBJECT

public:
  /// Asks until the password of `stored` is typed; false when cancelled.
  explicit StartPasswordDialog(std::string stored, QWidget* parent = nullptr);
  static bool ask(const std::string& stored, QWidget* parent = nullptr);

  QLineEdit* passwordField() const { return password_; }
  void accept() override;

private:
  std::string stored_;
  QLineEdit* password_;
  QLabel* wrong_;
};

class PasswordSetDialog : public QDialog {
  Q_OBJECT

public:
  explicit PasswordSetDialog(QWidget* parent = nullptr);
  /// The stored form of a new password; empty when cancelled.
  static std::optional<std::string> ask(QWidget* parent = nullptr);

  QLineEdit* firstField() const { return first_; }
  QLineEdit* secondField() const { return second_; }
  std::string storedForm() const { return stored_; }
  void accept() override;

private:
  QLineEdit* first_;
  QLineEdit* second_;
  QLabel* problem_;
  std::string stored_;
};

}  // namespace zorvik::ui
