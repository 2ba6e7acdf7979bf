/// \file
/// The start-up password's two dialogs: "起動時パスワード" asks for it (at
/// start, and when the window is restored), "パスワード設定" sets it (typed
/// twice). A wrong password clears the field and asks again; cancelling
/// gives up. A right password kept in an older stored form gives the form
/// to store in its place (renewedForm).
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

  QLineEdit* passwordField() const { return password_; }
  /// After a right password: the current stored form, when `stored` was in
  /// an older one.
  const std::optional<std::string>& renewedForm() const { return renewed_; }
  void accept() override;

private:
  std::string stored_;
  std::optional<std::string> renewed_;
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
