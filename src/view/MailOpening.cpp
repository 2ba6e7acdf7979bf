#include "view/MailOpening.h"

#include "store/SystemTrays.h"

namespace zorvik::view {

OpenAction openAction(bool isMail, int trayKind, int doubleClickSetting) {
  if (!isMail) return OpenAction::SelectNode;
  if (trayKind == store::kMailServerTray || doubleClickSetting == 1) return OpenAction::MailProperties;
  if (trayKind == store::kDraftsTray) return OpenAction::ComposeFromDraft;
  if (doubleClickSetting == 2) return OpenAction::Reply;
  return OpenAction::TextWindow;
}

std::optional<std::chrono::milliseconds> openDelay(int seconds) {
  if (seconds < 0) return std::nullopt;
  if (seconds == 0) return std::chrono::milliseconds(3);
  return std::chrono::milliseconds(static_cast<long long>(seconds) * 1000);
}

bool openTimerMarks(int selectedRows, int listPaneHeight) { return selectedRows == 1 && listPaneHeight > 30; }

bool startsOpenTimer(int icon) { return icon != 4 && icon != 5; }

}  // namespace zorvik::view
