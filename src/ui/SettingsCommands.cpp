#include "ui/SettingsCommands.h"

#include <QApplication>
#include <QToolBar>

#include "core/SettingsItemTable.h"
#include "mailflow/ImportFlow.h"
#include "mailflow/TrayMaintenance.h"
#include "ui/CertificateDialog.h"
#include "ui/CommandActions.h"
#include "ui/ImportDialog.h"
#include "ui/MailPropertyDialog.h"
#include "ui/MainWindow.h"
#include "ui/RuleTestDialog.h"
#include "ui/SettingsPageForm.h"
#include "ui/SettingsSheet.h"
#include "ui/StartPasswordDialog.h"
#include "ui/TipDialog.h"
#include "ui/ToolBarDialog.h"
#include "ui/TrayPropertyDialog.h"
#include "ui/TrayTreeModel.h"
#include "ui/TrayTreeView.h"
#include "view/LayoutValues.h"
#include "view/RuleTestReport.h"
#include "view/StartPassword.h"
#include "view/ToolBarSequence.h"

namespace zorvik::ui {
namespace {

constexpr const char* kTipSection = "Tip";

}  // namespace

SettingsCommands::SettingsCommands(MainWindow& window)
    : window_(window), dialUpPrompt_(window.document_, &window) {}

std::string SettingsCommands::passwordSection() const {
  return view::LayoutValues::windowSection(window_.options_.settingsName);
}

void SettingsCommands::settingsSheet() {
  SettingsSheet sheet(window_.document_, window_.messages_, &window_);
  SettingsPageForm::setAction([this, &sheet](int id, QWidget* parent) {
    if (id == core::item::kTrustedFingerprints) return trustCertificates(sheet, parent);
    if (id != core::item::kStartPassword) return;
    if (const auto stored = PasswordSetDialog::ask(parent)) {
      window_.layoutStore_.setText(passwordSection(), kPasswordValue, *stored);
      window_.layoutStore_.save();
    }
  });
  if (sheet.exec() != QDialog::Accepted) return;
  window_.installKeyDefinitions();
  window_.stopTimers();
  window_.startTimers();
  window_.refreshAfterStoreChange();
}

void SettingsCommands::trustCertificates(SettingsSheet& sheet, QWidget* parent) {
  sheet.editDraft([&](view::SettingsDraft& draft) {
    // The servers as the sheet now says, not as they were when it opened.
    core::SettingsFile settings = window_.document_.settings();
    draft.applyTo(settings);
    std::string text = draft.text(core::item::kTrustedFingerprints);
    for (const std::string& fingerprint : CertificateDialog::check(settings, window_.messages_, parent)) {
      if (text.find(fingerprint) != std::string::npos) continue;
      if (!text.empty()) text += "\r\n";
      text += fingerprint;
    }
    draft.setText(core::item::kTrustedFingerprints, text);
  });
}

void SettingsCommands::editToolBars() {
  std::map<int, ToolBarDialog::BarChoice> current;
  for (const view::ToolBar& bar : view::toolBars()) {
    const auto stored = view::ToolBarSequence::load(window_.layoutStore_, bar);
    const auto shown = window_.bars_.find(bar.id);
    current[bar.id] = {stored ? *stored : view::ToolBarSequence::builtIn(bar),
                       shown != window_.bars_.end() && shown->second->isVisible()};
  }
  ToolBarDialog dialog(window_.commands_, current, &window_);
  if (dialog.exec() != QDialog::Accepted) return;
  for (const view::ToolBar& bar : view::toolBars()) {
    const auto chosen = dialog.choices().find(bar.id);
    if (chosen == dialog.choices().end()) continue;
    view::ToolBarSequence::save(window_.layoutStore_, bar, chosen->second.entries);
  }
  window_.layoutStore_.save();
  arrangeToolBars();
  for (const auto& [id, choice] : dialog.choices())
    if (const auto bar = window_.bars_.find(id); bar != window_.bars_.end()) bar->second->setVisible(choice.shown);
  window_.updateCommands();
}

void SettingsCommands::arrangeToolBars() {
  for (const view::ToolBar& bar : view::toolBars()) {
    const auto old = window_.bars_.find(bar.id);
    if (old == window_.bars_.end()) continue;
    QToolBar* rebuilt = window_.actions_->buildToolBar(view::ToolBarSequence::arranged(window_.layoutStore_, bar), window_);
    window_.insertToolBar(old->second, rebuilt);
    rebuilt->setVisible(old->second->isVisible());
    window_.removeToolBar(old->second);
    old->second->deleteLater();
    old->second = rebuilt;
  }
}

void SettingsCommands::mailProperties(int page) {
  const auto place = window_.selectedMailPlace();
  if (!place) return;
  const auto properties = view::MailProperties::of(window_.document_.store(), place->first, place->second,
                                                   window_.document_.settings().timeZoneOffsetHours());
  if (!properties) return;
  MailPropertyDialog dialog(*properties, page, &window_);
  dialog.exec();
}

void SettingsCommands::properties() {
  if (window_.lastFocus_ == view::Focus::List && window_.selectedMailPlace()) return mailProperties(0);
  const QModelIndex index = window_.tree_->currentIndex();
  if (!index.isValid()) return;
  const view::TreeNode& node = window_.treeModel_->node(index);
  const std::string path = node.path;
  const bool cabinet = node.isCabinet;
  const store::StoreLocation& store = window_.document_.store();
  std::optional<view::TrayPropertySheet> sheet =
      cabinet ? std::optional(view::TrayPropertySheet::forCabinet(store, path))
              : view::TrayPropertySheet::forTrays(store, {path});
  if (!sheet) return;
  const std::string tested = sheet->firstTray();
  TrayPropertyActions actions;
  actions.startImport = [this, path, cabinet] { importInto(path, cabinet); };
  actions.rebuild = [this, path] { rebuildTray(path); };
  actions.testRule = [this, tested](const core::ItemValues& edited) { testRule(tested, edited); };
  TrayPropertyDialog dialog(std::move(*sheet), window_.messages_, *window_.sound_, std::move(actions), &window_);
  if (dialog.exec() == QDialog::Accepted) window_.refreshAfterStoreChange();
}

void SettingsCommands::rebuildTray(const std::string& tray) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  mailflow::TrayMaintenance::rebuild(window_.document_, tray);
  QApplication::restoreOverrideCursor();
  window_.refreshAfterStoreChange();
}

void SettingsCommands::testRule(const std::string& tray, const core::ItemValues& edited) {
  const auto report = view::RuleTestReport::make(window_.document_, tray, edited, window_.selectedMailPlace());
  if (!report) return;
  RuleTestDialog dialog(*report, QApplication::activeModalWidget());
  dialog.exec();
}

void SettingsCommands::importInto(const std::string& node, bool cabinet) {
  ImportDialog dialog(cabinet ? std::string() : node, cabinet ? std::optional(node) : std::nullopt, &window_);
  if (dialog.exec() != QDialog::Accepted) return;
  const mailflow::ImportRequest request = dialog.request();
  mailflow::Document& document = window_.document_;
  window_.startWork([&document, request](mailflow::FrontEnd& front) { mailflow::ImportFlow::run(document, front, request); },
                    [this] { window_.refreshAfterStoreChange(); });
}

void SettingsCommands::tips(bool atStart) {
  view::LayoutStore& store = window_.layoutStore_;
  view::TipPlace place;
  place.hideAtStart = store.number(kTipSection, "StartUp", 0) == 1;
  place.filePos = store.number(kTipSection, "FilePos", 0);
  place.timeStamp = store.text(kTipSection, "TimeStamp");
  if (atStart && place.hideAtStart) return;
  const std::string path =
      view::TipFile::find(QCoreApplication::applicationDirPath().toStdString(),
                          qEnvironmentVariable("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share")).toStdString());
  TipDialog dialog(path, place, window_.messages_, &window_);
  dialog.exec();
  const view::TipPlace reached = dialog.place();
  store.setNumber(kTipSection, "StartUp", reached.hideAtStart ? 1 : 0);
  store.setNumber(kTipSection, "FilePos", static_cast<std::int32_t>(reached.filePos));
  store.setText(kTipSection, "TimeStamp", reached.timeStamp);
}

bool SettingsCommands::passwordGate(bool restoring) {
  if (!view::StartPassword::asked(window_.document_.settings(), restoring)) return true;
  StartPasswordDialog dialog(window_.layoutStore_.text(passwordSection(), kPasswordValue), &window_);
  if (dialog.exec() != QDialog::Accepted) return false;
  if (const auto& renewed = dialog.renewedForm()) {
    window_.layoutStore_.setText(passwordSection(), kPasswordValue, *renewed);
    window_.layoutStore_.save();
  }
  return true;
}

}  // namespace zorvik::ui
