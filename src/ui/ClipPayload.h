/// \file
/// What a drag carries between Zorvik's panes, as the MIME type
/// "application/x-zorvik-clip": the dragged thing (mails of one tray with
/// their record indices, a tray, a cabinet, several tree items), whether
/// the drag was started with the right button, and the paths as the store
/// names them (Shift_JIS bytes, which a MIME payload carries unchanged).
#pragma once

#include <QByteArray>
#include <QMimeData>

#include <cstdint>
#include <optional>
#include <vector>

#include "view/DropDecision.h"

namespace zorvik::ui {

struct ClipPayload {
  static constexpr const char* kMimeType = "application/x-zorvik-clip";

  view::DragItem item;
  std::vector<std::uint32_t> indices;  // for mails
  std::vector<std::string> paths;      // for several tree items
  bool rightButton = false;

  QMimeData* toMimeData() const;
  static std::optional<ClipPayload> fromMimeData(const QMimeData* data);
};

}  // namespace zorvik::ui
