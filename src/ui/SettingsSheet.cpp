#include "ui/SettingsSheet.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "mailflow/Document.h"
#include "ui/KeyCaptureDialog.h"
#include "ui/OkCancelButtons.h"
#include "ui/QtText.h"
#include "ui/SettingsPageForm.h"
#include "ui/UiLog.h"
#include "view/EnvironmentPages.h"

namespace zorvik::ui {
namespace {

std::optional<std::string> askWithFileDialog(QWidget* parent, const std::string& current) {
  const QString chosen =
      QFileDialog::getSaveFileName(parent, QStringLiteral("個別設定ファイルの保存"), QString::fromStdString(current),
                                   QStringLiteral("個人設定ﾌｧｲﾙ(*.XM9 *.xm9);;すべてのﾌｧｲﾙ(*)"));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

}  // namespace

SettingsSheet::SettingsSheet(mailflow::Document& document, core::Messages& messages, QWidget* parent)
    : QDialog(parent), document_(document), messages_(messages), draft_(document.settings()), tabs_(new QTabWidget(this)) {
  setWindowTitle(QStringLiteral("環境設定"));
  UiLog::global().watch(this);
  SettingsPageForm::setKeyEditor(&KeyCaptureDialog::edit);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  for (const view::SettingsPage& page : view::environmentPages()) {
    auto* form = new SettingsPageForm(page, draft_);
    auto* scroll = new QScrollArea(tabs_);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(form);
    tabs_->addTab(scroll, fromSjis(page.title));
    forms_.push_back(form);
    form->load();
  }
  QDialogButtonBox* buttons = okCancelButtons(*this);
  layout->addWidget(buttons);
  setMinimumSize(620, 620);
  askSavePath_ = [this](const std::string& current) { return askWithFileDialog(this, current); };
}

void SettingsSheet::editDraft(const std::function<void(view::SettingsDraft&)>& edit) {
  for (SettingsPageForm* form : forms_) form->store();
  edit(draft_);
  for (SettingsPageForm* form : forms_) form->load();
}

void SettingsSheet::accept() {
  for (SettingsPageForm* form : forms_) form->store();
  if (draft_.changedItems().empty()) return QDialog::accept();
  if (!draft_.check(messages_)) return;
  // The path is asked in the file system's encoding; the engine's paths are
  // byte strings.
  const auto target = askSavePath_(document_.settings().fileName());
  if (!target) return;
  if (!draft_.confirm(document_, messages_, *target)) return;
  QDialog::accept();
}

}  // namespace zorvik::ui
