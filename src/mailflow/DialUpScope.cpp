#include "mailflow/DialUpScope.h"

#include <utility>

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "net/NmcliDialUp.h"

namespace zorvik::mailflow {
namespace {

// The window "ﾀﾞｲｱﾙｱｯﾌﾟ接続中" as the front end has it: its status line and
// its button "中断(&A)".
class FrontEndObserver final : public net::DialObserver {
public:
  explicit FrontEndObserver(FrontEnd& front) : front_(front) {}
  void state(int, const std::string& text) override { front_.progress.step(text); }
  bool abortRequested() override { return front_.stop.requested(); }

private:
  FrontEnd& front_;
};

std::unique_ptr<net::DialUp> dialUpFor(const Document& document) {
  return std::make_unique<net::NmcliDialUp>(document.messages());
}

}  // namespace

DialUpScope::DialUpScope(std::unique_ptr<net::DialUp> dialUp, core::Messages* messages, bool dialled)
    : dialUp_(std::move(dialUp)), messages_(messages), dialled_(dialled) {
  if (dialled_) {
    net::DialUp* held = dialUp_.get();
    messages_->setHangUp([held] { held->disconnect(); });
    hooked_ = true;
  }
}

DialUpScope::DialUpScope(DialUpScope&& other) noexcept
    : dialUp_(std::move(other.dialUp_)),
      messages_(other.messages_),
      dialled_(std::exchange(other.dialled_, false)),
      hooked_(std::exchange(other.hooked_, false)) {}

DialUpScope::~DialUpScope() {
  // The hook points at the object about to go.
  if (hooked_) messages_->setHangUp({});
  if (dialled_) dialUp_->disconnect();
}

std::optional<DialUpScope> DialUpScope::open(const Document& document, FrontEnd& front) {
  const core::SettingsFile& settings = document.settings();
  net::DialEntry entry = net::DialEntry::fromSettings(settings);
  if (entry.name.empty()) return DialUpScope(nullptr, nullptr, false);
  if (settings.flag(core::item::kDialUpConfirm) && front.dialUpPrompt && !front.dialUpPrompt->confirm(entry))
    return std::nullopt;
  auto dialUp = dialUpFor(document);
  FrontEndObserver observer(front);
  switch (dialUp->connect(entry, observer)) {
    case net::DialResult::Connected:
      return DialUpScope(std::move(dialUp), &document.messages(), true);
    case net::DialResult::AlreadyConnected:
      return DialUpScope(std::move(dialUp), &document.messages(), false);
    case net::DialResult::Failed:
    case net::DialResult::Aborted:
      break;
  }
  return std::nullopt;
}

bool DialUpScope::hangUp(const Document& document) {
  const std::string& entry = document.settings().text(core::item::kDialUpEntry);
  return !entry.empty() && dialUpFor(document)->hangUp(entry);
}

std::optional<bool> DialUpScope::connected(const Document& document) {
  const std::string& entry = document.settings().text(core::item::kDialUpEntry);
  if (entry.empty()) return std::nullopt;
  return dialUpFor(document)->isConnected(entry);
}

}  // namespace zorvik::mailflow
