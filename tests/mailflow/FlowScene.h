/// \file
/// A store with its system trays, opened as a front end opens it, and
/// what a front end lends a workflow: the fixture of the workflow tests.
/// Boxes are recorded and questions answered with a preset answer; the
/// free space the store's disk reports can be set.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "mailflow/FrontEnd.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Sound.h"
#include "store/StoreLayout.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::test {

class FlowScene {
public:
  FlowScene() {
    core::SettingsFile settings;
    settings.setText(core::item::kStoreRoot, scratch.file("store"));
    settings.updateDerivedValues();
    if (!store::createStore(settings)) throw std::runtime_error("store not created");
    document.emplace(std::move(settings), messages, nullptr,
                     [this](std::string_view) -> std::optional<std::uint64_t> { return freeBytes; });
  }

  /// The numbers of the boxes shown so far, in order.
  std::vector<core::MessageNumber> shown() const { return reporter.numbers(); }
  std::string tray(int item) const { return document->settings().text(item); }
  /// The POP3 account of a test server on 127.0.0.1 that deletes what it
  /// fetched.
  void usePopAccount(std::uint16_t port, const std::string& user, const std::string& password) {
    core::SettingsFile& settings = document->settings();
    settings.setText(core::item::kPopServer, "127.0.0.1");
    settings.setNumber(core::item::kPopPort, port);
    settings.setText(core::item::kPopUser, user);
    settings.setPlainPassword(core::item::kPopPassword, password);
    settings.setNumber(core::item::kDeleteFromServer, 1);
    document->settingsChanged();
  }
  std::string topCabinet() const { return document->store().topCabinetPath(); }

  ScratchDir scratch;
  RecordingReporter reporter;
  core::Messages messages{reporter};
  std::optional<std::uint64_t> freeBytes = 1u << 30;
  std::optional<mailflow::Document> document;
  core::SilentProgress progress;
  platform::SilentSound sound;
  mailflow::StopRequest stop;
  mailflow::FrontEnd front{progress, sound, platform::SystemClock::instance(), stop};
};

}  // namespace zorvik::test
