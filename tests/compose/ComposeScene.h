/// \file
/// A store with its system trays and a settings object for the compose
/// tests: the user is 山田 太郎 <taro@example.jp>, templates live in the
/// scratch folder, boxes are recorded and questions answered as preset.
/// Mails enter trays the way received mail does, through a work file.
#pragma once

#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

#include "compose/SourceMail.h"
#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "message/MailRecordParser.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/StoreLayout.h"
#include "store/StoreLocation.h"
#include "store/TrayFile.h"
#include "store/WorkFileAppender.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::test {

inline std::string sjis(const std::string& utf8) { return platform::utf8ToSjis(utf8); }

class ComposeScene {
public:
  ComposeScene() {
    settings.setText(core::item::kStoreRoot, scratch.file("store"));
    settings.setText(core::item::kSenderName, sjis("山田 太郎"));
    settings.setText(core::item::kSenderAddress, "taro@example.jp");
    settings.setText(core::item::kTemplateFolder, scratch.file("Template"));
    settings.updateDerivedValues();
    if (!store::createStore(settings)) throw std::runtime_error("store not created");
    store = store::StoreLocation::fromSettings(settings);
  }

  /// Creates tray `name` (UTF-8) with `properties`; returns its Shift_JIS name.
  std::string tray(const std::string& name, const store::TrayProperties& properties = ordinaryTray()) const {
    const std::string sjisName = sjis(name);
    if (!store::TrayFile(store, sjisName).create(properties)) throw std::runtime_error("tray not created");
    return sjisName;
  }

  /// The properties of a tray made by the new-tray command.
  static store::TrayProperties ordinaryTray() {
    store::TrayProperties properties;
    properties.newMailTemplate = properties.replyTemplate = properties.forwardTemplate = sjis("標準");
    return properties;
  }

  /// Appends a mail of Shift_JIS header and body lines to `tray` as a
  /// receive stores one; returns its index.
  std::uint32_t add(const std::string& tray, const std::vector<std::string>& header,
                    const std::vector<std::string>& body) const {
    std::string text = "From \r\n";
    for (const std::string& line : header) text += line + "\r\n";
    text += "\r\n";
    for (const std::string& line : body) text += line + "\r\n";
    const std::string work = scratch.file("work.XM0");
    platform::writeFileAtomically(work, text);
    const auto stored = store::WorkFileAppender::append(work, store::TrayFile(store, tray), parser());
    if (!stored) throw std::runtime_error("mail not stored");
    return stored->firstIndex;
  }

  compose::SourceMail source(const std::string& tray, std::uint32_t index) const {
    auto mail = compose::SourceMail::read(store, {tray, index}, parser());
    if (!mail) throw std::runtime_error("no such mail");
    return *mail;
  }

  message::MailRecordParser parser() const {
    return message::MailRecordParser(message::ParseContext::fromSettings(settings, std::time(nullptr)));
  }

  /// Writes `bytes` as "<name>.XM8" into sub-folder `folder` of the
  /// template folder.
  void writeTemplate(const std::string& folder, const std::string& name, const std::string& bytes) const {
    const std::string path = scratch.file("Template/" + folder);
    platform::makeDirectories(path);
    platform::writeFileAtomically(path + "/" + name + ".XM8", bytes);
  }

  std::vector<core::MessageNumber> shown() const { return reporter.numbers(); }

  ScratchDir scratch;
  core::SettingsFile settings;
  RecordingReporter reporter;
  core::Messages messages{reporter};
  store::StoreLocation store;
};

}  // namespace zorvik::test
