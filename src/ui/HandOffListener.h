/// \file
/// The running instance's end of the hand-off socket: listens while the
/// main window lives and reports each request of a second start (a mailto
/// address, a send/receive for all instances, bringing the window up).
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>
#include <optional>

#include "view/InstanceHandOff.h"

namespace zorvik::ui {

class HandOffListener : public QObject {
  Q_OBJECT

public:
  /// Listens at the socket of `settingsName`; inactive() when another live
  /// instance already listens there.
  HandOffListener(const std::string& settingsName, QObject* parent = nullptr);
  bool active() const { return handOff_.has_value(); }

signals:
  void mailto(const QString& address);
  void sendReceive();
  void show();

private:
  void readRequest();

  std::optional<view::InstanceHandOff> handOff_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace zorvik::ui
