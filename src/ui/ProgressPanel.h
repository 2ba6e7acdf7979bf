/// \file
/// The status text and progress bar (0-100) the work dialogs share. A line
/// that tells its share of the work moves the bar; while lines tell none
/// the bar shows that something runs without claiming how much is done.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace zorvik::ui {

class ProgressPanel : public QWidget {
  Q_OBJECT

public:
  explicit ProgressPanel(QWidget* parent = nullptr);

  /// A status text that is no progress report (a question, a result).
  void setStatus(const QString& text);
  /// The work began: the bar moves, showing no share yet.
  void begin(const QString& text);
  /// A progress line of the work, with its share (-1: none).
  void report(const QString& line, int percent);
  /// The work ended: the bar at 100 when it went through, else where the
  /// work left it.
  void end(const QString& text, bool complete);

  QString status() const;
  int value() const;

private:
  QLabel* status_;
  QProgressBar* bar_;
};

}  // namespace zorvik::ui
