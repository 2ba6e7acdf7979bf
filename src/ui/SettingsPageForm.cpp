#include "ui/SettingsPageForm.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "net/NmcliDialUp.h"
#include "ui/OkCancelButtons.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {
namespace {

using view::ControlKind;
using view::SettingsField;

SettingsPageForm::KeyEditor& keyEditor() {
  static SettingsPageForm::KeyEditor editor;
  return editor;
}

std::int32_t toColorRef(const QColor& colour) {
  return static_cast<std::int32_t>(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

// A button showing a colour; the colour is the button's, chosen with the
// colour dialog.
QPushButton* colourButton(QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setFixedWidth(64);
  QObject::connect(button, &QPushButton::clicked, button, [button] {
    const QColor chosen = QColorDialog::getColor(button->property("colour").value<QColor>(), button);
    if (!chosen.isValid()) return;
    button->setProperty("colour", chosen);
    button->setStyleSheet(QStringLiteral("background-color: %1").arg(chosen.name()));
  });
  return button;
}

void showColour(QPushButton* button, const QColor& colour) {
  button->setProperty("colour", colour);
  button->setStyleSheet(QStringLiteral("background-color: %1").arg(colour.name()));
}

// The lines of a multi-line item are joined with CR LF inside Zorvik.
QString linesOf(const std::string& text) { return fromSjis(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }
std::string joinedLines(const QString& text) {
  return toSjis(QString(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

// An item is off when it holds its off value or, for the items whose off
// value is negative, any negative number.
bool isOff(std::int32_t value, int offValue) { return offValue < 0 ? value < 0 : value <= offValue; }

}  // namespace

static SettingsPageForm::Action& fieldAction() {
  static SettingsPageForm::Action action;
  return action;
}

void SettingsPageForm::setKeyEditor(KeyEditor editor) { keyEditor() = std::move(editor); }
void SettingsPageForm::setAction(Action action) { fieldAction() = std::move(action); }

SettingsPageForm::SettingsPageForm(const view::SettingsPage& page, view::SettingsDraft& draft, QWidget* parent)
    : QWidget(parent), draft_(draft), grid_(new QGridLayout) {
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid_);
  grid_->setColumnStretch(1, 1);
  for (const SettingsField& field : page.fields) {
    addRow(field);
    if (!field.action.empty()) {
      auto* button = new QPushButton(fromSjis(field.action), this);
      grid_->addWidget(button, grid_->rowCount() - 1, 3);
      connect(button, &QPushButton::clicked, this, [this, id = field.id] {
        if (fieldAction()) fieldAction()(id, this);
      });
    }
    if (!field.readOnly) continue;
    bindings_.back().control->setEnabled(false);
    bindings_.back().store = [] {};
  }
  addDetails(page);
  layout->addStretch(1);
}

void SettingsPageForm::load() {
  for (const Binding& binding : bindings_) binding.load();
}

void SettingsPageForm::store() {
  for (const Binding& binding : bindings_) binding.store();
}

QWidget* SettingsPageForm::control(int id) const {
  for (const Binding& binding : bindings_)
    if (binding.id == id) return binding.control;
  return nullptr;
}

QWidget* SettingsPageForm::detailButton(const std::string& title) const {
  for (const auto& [name, button] : detailButtons_)
    if (name == title) return button;
  return nullptr;
}

void SettingsPageForm::addRow(const SettingsField& field) {
  const int row = grid_->rowCount();
  const int id = field.id;
  view::SettingsDraft& draft = draft_;
  const QString label = fromSjis(field.label);
  const auto labelled = [&](QWidget* control) {
    auto* caption = new QLabel(label, this);
    caption->setBuddy(control);
    grid_->addWidget(caption, row, 0);
    if (field.unit.empty()) return grid_->addWidget(control, row, 1, 1, 2);
    // The unit stays beside its number.
    auto* line = new QHBoxLayout;
    line->addWidget(control);
    line->addWidget(new QLabel(fromSjis(field.unit), this));
    line->addStretch(1);
    grid_->addLayout(line, row, 1, 1, 2);
  };
  switch (field.control) {
    case ControlKind::Text:
    case ControlKind::Secret: {
      auto* edit = new QLineEdit(this);
      if (field.control == ControlKind::Secret) edit->setEchoMode(QLineEdit::Password);
      labelled(edit);
      bindings_.push_back({id, edit, [=, &draft] { edit->setText(fromSjis(draft.text(id))); },
                           [=, &draft] { draft.setText(id, toSjis(edit->text())); }});
      return;
    }
    case ControlKind::Number: {
      auto* edit = new QLineEdit(this);
      edit->setMaximumWidth(100);
      labelled(edit);
      bindings_.push_back({id, edit, [=, &draft] { edit->setText(fromSjis(draft.text(id))); },
                           [=, &draft] { draft.setText(id, toSjis(edit->text().trimmed())); }});
      return;
    }
    case ControlKind::Lines: {
      auto* edit = new QPlainTextEdit(this);
      edit->setMinimumHeight(80);
      labelled(edit);
      bindings_.push_back({id, edit, [=, &draft] { edit->setPlainText(linesOf(draft.text(id))); },
                           [=, &draft] { draft.setText(id, joinedLines(edit->toPlainText())); }});
      return;
    }
    case ControlKind::Check:
    case ControlKind::InvertedCheck: {
      auto* box = new QCheckBox(label, this);
      grid_->addWidget(box, row, 0, 1, 3);
      const bool inverted = field.control == ControlKind::InvertedCheck;
      bindings_.push_back({id, box, [=, &draft] { box->setChecked((draft.number(id) != 0) != inverted); },
                           [=, &draft] { draft.setNumber(id, box->isChecked() != inverted ? 1 : 0); }});
      return;
    }
    case ControlKind::FlagBit: {
      auto* box = new QCheckBox(label, this);
      grid_->addWidget(box, row, 0, 1, 3);
      const auto mask = static_cast<std::uint32_t>(field.offValue);
      bindings_.push_back({id, box, [=, &draft] { box->setChecked(static_cast<std::uint32_t>(draft.number(id)) & mask); },
                           [=, &draft] {
                             auto flags = static_cast<std::uint32_t>(draft.number(id));
                             flags = box->isChecked() ? flags | mask : flags & ~mask;
                             draft.setNumber(id, static_cast<std::int32_t>(flags));
                           }});
      return;
    }
    case ControlKind::Choice: {
      auto* combo = new QComboBox(this);
      for (const view::FieldChoice& choice : field.choices) combo->addItem(fromSjis(choice.text), choice.value);
      labelled(combo);
      bindings_.push_back({id, combo,
                           [=, &draft] {
                             const int index = combo->findData(draft.number(id));
                             combo->setCurrentIndex(index);
                           },
                           [=, &draft] {
                             if (combo->currentIndex() >= 0) draft.setNumber(id, combo->currentData().toInt());
                           }});
      return;
    }
    case ControlKind::Colour: {
      QPushButton* button = colourButton(this);
      labelled(button);
      bindings_.push_back({id, button, [=, &draft] { showColour(button, fromColorRef(draft.number(id))); },
                           [=, &draft] { draft.setNumber(id, toColorRef(button->property("colour").value<QColor>())); }});
      return;
    }
    case ControlKind::ColourList: {
      auto* holder = new QWidget(this);
      auto* line = new QHBoxLayout(holder);
      line->setContentsMargins(0, 0, 0, 0);
      auto* names = new QComboBox(holder);
      QPushButton* swatch = colourButton(holder);
      swatch->setText(QStringLiteral("変更(&X)..."));
      swatch->setFixedWidth(swatch->sizeHint().width() + 16);
      line->addWidget(names, 1);
      line->addWidget(swatch);
      for (const view::FieldChoice& choice : field.choices) names->addItem(fromSjis(choice.text), choice.value);
      labelled(holder);
      // The colours live in the list's entries; the button edits the one shown.
      connect(names, &QComboBox::currentIndexChanged, swatch,
              [=](int index) { showColour(swatch, names->itemData(index, Qt::UserRole + 1).value<QColor>()); });
      connect(swatch, &QPushButton::clicked, names, [=] {
        names->setItemData(names->currentIndex(), swatch->property("colour"), Qt::UserRole + 1);
      });
      bindings_.push_back({id, holder,
                           [=, &draft] {
                             for (int i = 0; i < names->count(); ++i)
                               names->setItemData(i, fromColorRef(draft.number(names->itemData(i).toInt())),
                                                  Qt::UserRole + 1);
                             names->setCurrentIndex(0);
                             showColour(swatch, names->itemData(0, Qt::UserRole + 1).value<QColor>());
                           },
                           [=, &draft] {
                             for (int i = 0; i < names->count(); ++i)
                               draft.setNumber(names->itemData(i).toInt(),
                                               toColorRef(names->itemData(i, Qt::UserRole + 1).value<QColor>()));
                           }});
      return;
    }
    case ControlKind::Font: {
      auto* button = new QPushButton(label, this);
      auto* shown = new QLabel(this);
      grid_->addWidget(button, row, 0);
      grid_->addWidget(shown, row, 1, 1, 2);
      // The label holds the font: family, pixel size and weight (dynamic
      // properties named apart from QWidget's own "size" and "font").
      const auto show = [shown](const QString& family, int size, int weight) {
        shown->setProperty("fontFamilyName", family);
        shown->setProperty("fontPixels", size);
        shown->setProperty("fontWeightValue", weight);
        shown->setText(QStringLiteral("%1  %2px%3").arg(family).arg(size).arg(weight >= 600 ? QStringLiteral(" 太字") : QString()));
      };
      connect(button, &QPushButton::clicked, shown, [=] {
        QFont current(shown->property("fontFamilyName").toString());
        current.setPixelSize(std::max(1, shown->property("fontPixels").toInt()));
        current.setWeight(static_cast<QFont::Weight>(std::clamp(shown->property("fontWeightValue").toInt(), 100, 900)));
        bool chosen = false;
        const QFont font = QFontDialog::getFont(&chosen, current, button);
        if (!chosen) return;
        const int pixels = font.pixelSize() > 0 ? font.pixelSize() : qRound(font.pointSizeF() * 96.0 / 72.0);
        show(font.family(), pixels, font.weight());
      });
      bindings_.push_back({id, button,
                           [=, &draft] { show(fromSjis(draft.text(id)), draft.number(id + 1), draft.number(id + 2)); },
                           [=, &draft] {
                             draft.setText(id, toSjis(shown->property("fontFamilyName").toString()));
                             draft.setNumber(id + 1, shown->property("fontPixels").toInt());
                             draft.setNumber(id + 2, shown->property("fontWeightValue").toInt());
                           }});
      return;
    }
    case ControlKind::SwitchedNumber: {
      auto* box = new QCheckBox(label, this);
      auto* edit = new QLineEdit(this);
      edit->setMaximumWidth(100);
      grid_->addWidget(box, row, 0);
      auto* tail = new QHBoxLayout;
      tail->addWidget(edit);
      auto* unit = new QLabel(fromSjis(field.unit), this);
      unit->setBuddy(edit);
      tail->addWidget(unit);
      tail->addStretch(1);
      grid_->addLayout(tail, row, 1, 1, 2);
      connect(box, &QCheckBox::toggled, edit, &QWidget::setEnabled);
      const int offValue = field.offValue;
      bindings_.push_back({id, box,
                           [=, &draft] {
                             const std::int32_t value = draft.number(id);
                             box->setChecked(!isOff(value, offValue));
                             edit->setEnabled(box->isChecked());
                             edit->setText(box->isChecked() ? fromSjis(draft.text(id)) : QStringLiteral("0"));
                           },
                           [=, &draft] {
                             if (box->isChecked()) return draft.setText(id, toSjis(edit->text().trimmed()));
                             if (!isOff(draft.number(id), offValue)) draft.setNumber(id, offValue);
                           }});
      return;
    }
    case ControlKind::Folder:
    case ControlKind::File: {
      auto* holder = new QWidget(this);
      auto* line = new QHBoxLayout(holder);
      line->setContentsMargins(0, 0, 0, 0);
      auto* edit = new QLineEdit(holder);
      auto* browse = new QPushButton(QStringLiteral("参照(&B)..."), holder);
      line->addWidget(edit, 1);
      line->addWidget(browse);
      auto* caption = new QLabel(label, this);
      caption->setBuddy(edit);
      grid_->addWidget(caption, row, 0);
      grid_->addWidget(holder, row, 1, 1, 2);
      const bool folder = field.control == ControlKind::Folder;
      connect(browse, &QPushButton::clicked, edit, [=] {
        const QString chosen = folder ? QFileDialog::getExistingDirectory(edit, label, edit->text())
                                      : QFileDialog::getOpenFileName(edit, label, edit->text());
        if (!chosen.isEmpty()) edit->setText(chosen);
      });
      bindings_.push_back({id, edit, [=, &draft] { edit->setText(fromSjis(draft.text(id))); },
                           [=, &draft] { draft.setText(id, toSjis(edit->text())); }});
      return;
    }
    case ControlKind::DialUpEntry: {
      auto* lan = new QRadioButton(QStringLiteral("LANまたは手動で使用する"), this);
      auto* dial = new QRadioButton(QStringLiteral("自動ﾀﾞｲﾔﾙｱｯﾌﾟで使用する"), this);
      auto* entries = new QComboBox(this);
      entries->setEditable(true);
      for (const std::string& name : net::NmcliDialUp::entryNames()) entries->addItem(fromSjis(name));
      grid_->addWidget(lan, row, 0, 1, 3);
      grid_->addWidget(dial, row + 1, 0, 1, 3);
      auto* caption = new QLabel(label, this);
      caption->setBuddy(entries);
      grid_->addWidget(caption, row + 2, 0);
      grid_->addWidget(entries, row + 2, 1, 1, 2);
      connect(dial, &QRadioButton::toggled, entries, &QWidget::setEnabled);
      bindings_.push_back({id, entries,
                           [=, &draft] {
                             const QString entry = fromSjis(draft.text(id));
                             (entry.isEmpty() ? lan : dial)->setChecked(true);
                             entries->setEnabled(!entry.isEmpty());
                             entries->setCurrentText(entry);
                           },
                           [=, &draft] { draft.setText(id, dial->isChecked() ? toSjis(entries->currentText()) : ""); }});
      return;
    }
    case ControlKind::KeyTable: {
      // The definition text is held by a read-only field; the button edits
      // it in the key capture dialog.
      auto* holder = new QWidget(this);
      auto* line = new QHBoxLayout(holder);
      line->setContentsMargins(0, 0, 0, 0);
      auto* definition = new QLineEdit(holder);
      definition->setReadOnly(true);
      line->addWidget(definition, 1);
      if (!field.choices.empty()) {
        auto* presets = new QComboBox(holder);
        presets->setObjectName(QStringLiteral("presets"));
        for (const view::FieldChoice& choice : field.choices) presets->addItem(fromSjis(choice.text));
        auto* reset = new QPushButton(QStringLiteral("ﾘｾｯﾄ(&R)"), holder);
        line->insertWidget(0, presets);
        line->insertWidget(1, reset);
        definition->hide();
        connect(reset, &QPushButton::clicked, definition, [=] {
          definition->setText(fromSjis(field.choices[static_cast<std::size_t>(presets->currentIndex())].data));
        });
      }
      auto* edit = new QPushButton(field.choices.empty() ? label : QStringLiteral("詳細設定(&S)"), holder);
      line->addWidget(edit);
      auto* caption = new QLabel(field.choices.empty() ? fromSjis(field.unit) : label, this);
      caption->setBuddy(field.choices.empty() ? static_cast<QWidget*>(edit) : holder);
      grid_->addWidget(caption, row, 0);
      grid_->addWidget(holder, row, 1, 1, 2);
      connect(edit, &QPushButton::clicked, definition, [=] {
        if (!keyEditor()) return;
        if (auto changed = keyEditor()(id, toSjis(definition->text()), definition)) definition->setText(fromSjis(*changed));
      });
      bindings_.push_back({id, definition, [=, &draft] { definition->setText(fromSjis(draft.text(id))); },
                           [=, &draft] { draft.setText(id, toSjis(definition->text())); }});
      return;
    }
  }
}

void SettingsPageForm::addDetails(const view::SettingsPage& page) {
  if (page.details.empty()) return;
  auto* line = new QHBoxLayout;
  line->addStretch(1);
  for (const view::SettingsPage& detail : page.details) {
    auto* button = new QPushButton(fromSjis(detail.title) + QStringLiteral("..."), this);
    detailButtons_.emplace_back(detail.title, button);
    line->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, detail] {
      QDialog dialog(this);
      dialog.setWindowTitle(fromSjis(detail.title));
      UiLog::global().watch(&dialog);
      auto* layout = new QVBoxLayout(&dialog);
      auto* form = new SettingsPageForm(detail, draft_, &dialog);
      layout->addWidget(form);
      QDialogButtonBox* buttons = okCancelButtons(dialog);
      layout->addWidget(buttons);
      form->load();
      if (dialog.exec() == QDialog::Accepted) form->store();
    });
  }
  qobject_cast<QVBoxLayout*>(layout())->addLayout(line);
}

}  // namespace zorvik::ui
