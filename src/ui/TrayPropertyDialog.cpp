#include "ui/TrayPropertyDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "store/TrayPropertyTable.h"
#include "ui/OkCancelButtons.h"
#include "ui/QtText.h"
#include "ui/SettingsPageForm.h"
#include "ui/UiLog.h"
#include "view/TrayPropertyPages.h"

namespace zorvik::ui {

TrayPropertyDialog::TrayPropertyDialog(view::TrayPropertySheet sheet, core::Messages& messages, platform::Sound& sound,
                                       TrayPropertyActions actions, QWidget* parent)
    : QDialog(parent),
      sheet_(std::move(sheet)),
      draft_(sheet_.values()),
      messages_(messages),
      sound_(sound),
      tabs_(new QTabWidget(this)) {
  setWindowTitle(sheet_.isCabinet() ? QStringLiteral("引出 ﾌﾟﾛﾊﾟﾃｨ") : QStringLiteral("ﾄﾚｲ ﾌﾟﾛﾊﾟﾃｨ"));
  UiLog::global().watch(this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  const auto& pages = view::trayPropertyPages();
  for (std::size_t i = 0; i < pages.size(); ++i) {
    auto* form = new SettingsPageForm(pages[i], draft_);
    auto* holder = new QWidget;
    auto* inside = new QVBoxLayout(holder);
    inside->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(holder);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(form);
    inside->addWidget(scroll);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    if (i == 0 && actions.rebuild && !sheet_.isCabinet())
      addAction(row, QStringLiteral("再生成(&R)"), actions.rebuild);
    if (i == 0 && actions.startImport) addAction(row, QStringLiteral("他のﾒｰﾗより取得(&G)..."), actions.startImport);
    if (form->control(store::trayitem::kSortExpression) && actions.testRule)
      addAction(row, QStringLiteral("受信振分試験(&R)"), [this, test = actions.testRule] { test(editedValues()); });
    if (form->control(store::trayitem::kSoundFile))
      addAction(row, QStringLiteral("試験(&T)"), [this] { ringSound(); });
    inside->addLayout(row);
    const QString title = i == 0 && sheet_.isCabinet() ? QStringLiteral("引出のプロパティ") : fromSjis(pages[i].title);
    tabs_->addTab(holder, title);
    forms_.push_back(form);
    form->load();
  }
  QDialogButtonBox* buttons = okCancelButtons(*this);
  layout->addWidget(buttons);
  setMinimumSize(560, 520);
}

void TrayPropertyDialog::addAction(QHBoxLayout* row, const QString& text, std::function<void()> act) {
  auto* button = new QPushButton(text, this);
  connect(button, &QPushButton::clicked, this, [act = std::move(act)] { act(); });
  row->addWidget(button);
}

core::ItemValues TrayPropertyDialog::editedValues() {
  for (SettingsPageForm* form : forms_) form->store();
  core::ItemValues values = sheet_.values();
  draft_.applyTo(values);
  return values;
}

void TrayPropertyDialog::ringSound() {
  for (SettingsPageForm* form : forms_) form->store();
  const std::string sound = draft_.text(store::trayitem::kSoundFile);
  if (sound.starts_with("0x") || sound.starts_with("0X")) {
    return sound_.beep(static_cast<std::uint32_t>(std::strtoul(sound.c_str() + 2, nullptr, 16)));
  }
  sound_.playWave(sound);
}

void TrayPropertyDialog::accept() {
  for (SettingsPageForm* form : forms_) form->store();
  if (!draft_.check(messages_)) return;
  if (!sheet_.apply(draft_, messages_)) return;
  QDialog::accept();
}

}  // namespace zorvik::ui
