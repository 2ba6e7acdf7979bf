#include "ui/HandOffListener.h"

namespace zorvik::ui {

HandOffListener::HandOffListener(const std::string& settingsName, QObject* parent)
    : QObject(parent), handOff_(view::InstanceHandOff::listen(view::InstanceHandOff::socketPath(settingsName))) {
  if (!handOff_) return;
  notifier_ = std::make_unique<QSocketNotifier>(handOff_->descriptor(), QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &HandOffListener::readRequest);
}

void HandOffListener::readRequest() {
  const auto request = handOff_->accept();
  if (!request) return;
  switch (request->kind) {
    case view::HandOffRequest::Kind::Mailto: emit mailto(QString::fromUtf8(request->text.c_str())); break;
    case view::HandOffRequest::Kind::SendReceive: emit sendReceive(); break;
    case view::HandOffRequest::Kind::Show: emit show(); break;
  }
}

}  // namespace zorvik::ui
