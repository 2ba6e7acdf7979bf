/// \file
/// Printing a mail as the text view shows it, cut into pages (geometry in
/// view::PrintPages): each page maps the page's dots isotropically onto the
/// sheet's printable area, draws "Zorvik:<subject>" over a grey rule, the
/// page's slice of the mail through MailTextPainter, and a grey rule with
/// "Page n/m" at the right below it.
///
/// One printer per main window, so the page set-up chosen once holds for
/// the next print and preview. writePdf prints without any printer or
/// dialog (what the tests check).
#pragma once

#include <QPrinter>

#include <memory>
#include <string>

#include "view/MailTextContent.h"

class QPrintPreviewDialog;
class QWidget;

namespace zorvik::core {
class ItemValues;
}

namespace zorvik::ui {

class MailPrinter {
public:
  /// `settings` outlives the printer.
  explicit MailPrinter(const core::ItemValues& settings);

  /// Draws `content` on `printer` (the pages its range asks for, else all).
  void render(QPrinter& printer, const view::MailTextContent& content) const;
  /// The print dialog, then the pages.
  void print(QWidget* parent, const view::MailTextContent& content);
  /// The print preview window, built and not shown (the caller shows or
  /// execs it); it renders `content`, which must outlive it.
  std::unique_ptr<QPrintPreviewDialog> preview(QWidget* parent, const view::MailTextContent& content);
  /// The page set-up dialog ("印刷の設定(&U)...").
  void pageSetUp(QWidget* parent);
  /// Prints to a PDF file at `path` (a file name, UTF-8); false when it
  /// cannot be written.
  bool writePdf(const view::MailTextContent& content, const QString& path) const;

private:
  const core::ItemValues& settings_;
  QPrinter printer_;
};

}  // namespace zorvik::ui
