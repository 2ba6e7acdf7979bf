/// \file
/// The icon of a tool bar button: the desktop's icon theme first
/// (QIcon::fromTheme with the freedesktop icon names), then the icons Qt's
/// style brings along, then a drawn badge with the button's first letter,
/// so a bar looks whole on any desktop, with or without an icon theme.
#pragma once

#include <QIcon>
#include <QString>

class QWidget;

namespace zorvik::ui {

QIcon toolBarIcon(int command, const QString& text, const QWidget& widget);

}  // namespace zorvik::ui
