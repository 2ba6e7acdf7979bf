#include "view/KeyDispatcher.h"

namespace zorvik::view {

KeyDispatcher::Result KeyDispatcher::press(const KeyStroke& stroke) {
  if (pending_) {
    const KeyStroke first = *pending_;
    pending_.reset();
    return second(first, stroke);
  }
  return first(stroke);
}

KeyDispatcher::Result KeyDispatcher::first(const KeyStroke& stroke) {
  const auto& macros = table_->macros();
  for (std::size_t i = 0; i < macros.size(); ++i) {
    const Macro& macro = macros[i];
    if (macro.first.empty() || macro.first != stroke) continue;
    if (macro.second.empty()) return {Outcome::Run, i};
    pending_ = stroke;
    return {Outcome::Wait, 0};
  }
  return {};
}

KeyDispatcher::Result KeyDispatcher::second(const KeyStroke& first, const KeyStroke& stroke) {
  const auto& macros = table_->macros();
  for (std::size_t i = 0; i < macros.size(); ++i) {
    const Macro& macro = macros[i];
    if (macro.first.empty() || macro.first != first || macro.second.empty()) continue;
    if (macro.second.key != stroke.key) continue;
    if (macro.second.hasModifiers() && !macro.second.sameModifiers(stroke)) continue;
    return {Outcome::Run, i};
  }
  return {};
}

}  // namespace zorvik::view
