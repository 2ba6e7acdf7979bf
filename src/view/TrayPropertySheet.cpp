#include "view/TrayPropertySheet.h"

#include "core/MessageNumber.h"
#include "platform/FileSystem.h"
#include "store/TrayFile.h"
#include "store/TrayInheritance.h"
#include "store/TrayPropertyTable.h"
#include "store/TreeListing.h"

namespace zorvik::view {
namespace {

core::ItemValues valuesOf(const store::TrayProperties& properties) {
  core::ItemValues values(store::trayPropertyTable());
  store::propertiesToValues(properties, values);
  return values;
}

}  // namespace

TrayPropertySheet::TrayPropertySheet(store::StoreLocation store, std::vector<std::string> trays,
                                     std::optional<std::string> cabinet, const core::ItemValues& values)
    : store_(std::move(store)), trays_(std::move(trays)), cabinet_(std::move(cabinet)), values_(values) {}

std::optional<TrayPropertySheet> TrayPropertySheet::forTrays(const store::StoreLocation& store,
                                                             std::vector<std::string> trays) {
  if (trays.empty()) return std::nullopt;
  // A damaged index still gets its sheet, for "再生成"; it shows what a new
  // tray of the cabinet would have, and OK cannot write it.
  const auto properties = store::TrayFile(store, trays.front()).properties();
  const store::TrayProperties shown =
      properties ? *properties : store::inheritedProperties(store, platform::directoryOf(trays.front()));
  return TrayPropertySheet(store, std::move(trays), std::nullopt, valuesOf(shown));
}

TrayPropertySheet TrayPropertySheet::forCabinet(const store::StoreLocation& store, std::string cabinet) {
  const auto own = store::TrayFile(store, store::defaultTrayOf(cabinet)).properties();
  const store::TrayProperties shown = own ? *own : store::inheritedProperties(store, cabinet);
  return TrayPropertySheet(store, {}, std::move(cabinet), valuesOf(shown));
}

std::string TrayPropertySheet::firstTray() const {
  return cabinet_ ? store::defaultTrayOf(*cabinet_) : trays_.front();
}

std::vector<std::string> TrayPropertySheet::editedTrays() const {
  if (!cabinet_) return trays_;
  std::vector<std::string> trays{store::defaultTrayOf(*cabinet_)};
  store::walkTree(store_, *cabinet_, [&](const store::TreeEntry& entry) {
    if (entry.isCabinet) {
      trays.push_back(store::defaultTrayOf(entry.path));
      return;
    }
    trays.push_back(entry.path);
  });
  return trays;
}

bool TrayPropertySheet::apply(const SettingsDraft& draft, core::Messages& messages) const {
  const std::vector<int> changed = draft.changedItems();
  if (changed.empty()) return true;
  if (cabinet_ && !messages.question(core::MessageNumber::ChangeCabinetTrayProperties, {*cabinet_})) return false;
  if (!cabinet_ && trays_.size() > 1 && !messages.question(core::MessageNumber::ChangeSelectedTrayProperties))
    return false;
  core::ItemValues edited = values_;
  draft.applyTo(edited);
  const auto flagsChanged = static_cast<std::uint32_t>(edited.number(store::trayitem::kFlags) ^
                                                       values_.number(store::trayitem::kFlags));
  for (const std::string& name : editedTrays()) {
    const store::TrayFile tray(store_, name);
    const auto current = tray.properties();
    // A cabinet's ".Default" tray is made when the cabinet gets its first
    // properties of its own; other trays that cannot be read are a failure.
    if (!current && !(cabinet_ && name.ends_with(store::kDefaultTrayName))) return false;
    core::ItemValues values = valuesOf(current ? *current : store::inheritedProperties(store_, *cabinet_));
    for (const int id : changed) {
      if (id == store::trayitem::kFlags) {
        const auto flags = static_cast<std::uint32_t>(values.number(id));
        const auto wanted = static_cast<std::uint32_t>(edited.number(id));
        values.setNumber(id, static_cast<std::int32_t>((flags & ~flagsChanged) | (wanted & flagsChanged)));
      } else if (core::isNumericKind(values.table().rows()[*values.table().indexOf(id)].kind)) {
        values.setNumber(id, edited.number(id));
      } else {
        values.setText(id, edited.text(id));
      }
    }
    const store::TrayProperties properties = store::propertiesFromValues(values);
    if (!(current ? tray.rewriteProperties(properties) : tray.create(properties))) return false;
  }
  return true;
}

}  // namespace zorvik::view
