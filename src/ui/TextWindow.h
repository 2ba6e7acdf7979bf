/// \file
/// The separate mail text window (opened by double click or "メール内容表示"):
/// one top-level window showing a mail's text, reused for the next mail.
#pragma once

#include <QWidget>

namespace zorvik::ui {

class MailTextPane;

class TextWindow : public QWidget {
  Q_OBJECT

public:
  explicit TextWindow(QWidget* parent = nullptr);
  MailTextPane& pane() const { return *pane_; }

private:
  MailTextPane* pane_;
};

}  // namespace zorvik::ui
