#include "net/PopState.h"

namespace zorvik::net {

std::string_view popStateName(PopState state) {
  switch (state) {
    case PopState::Idle: return "Idle";
    case PopState::Connecting: return "Connecting";
    case PopState::UserSent: return "UserSent";
    case PopState::PassSent: return "PassSent";
    case PopState::ApopSent: return "ApopSent";
    case PopState::Ready: return "Ready";
    case PopState::Quitting: return "Quitting";
    case PopState::StatSent: return "StatSent";
    case PopState::ListSent: return "ListSent";
    case PopState::ListReading: return "ListReading";
    case PopState::RetrSent: return "RetrSent";
    case PopState::RetrReading: return "RetrReading";
    case PopState::TopPipeline: return "TopPipeline";
    case PopState::DeleSent: return "DeleSent";
    case PopState::UidlSent: return "UidlSent";
    case PopState::UidlReading: return "UidlReading";
    case PopState::TopOversize: return "TopOversize";
    case PopState::Stopping: return "Stopping";
    case PopState::StlsSent: return "StlsSent";
    case PopState::TlsStarting: return "TlsStarting";
    case PopState::CapaSent: return "CapaSent";
    case PopState::CapaReading: return "CapaReading";
    case PopState::AuthPlainSent: return "AuthPlainSent";
  }
  return "Unknown";
}

bool isBeforeLogin(PopState state) {
  switch (state) {
    case PopState::Connecting:
    case PopState::UserSent:
    case PopState::PassSent:
    case PopState::ApopSent:
    case PopState::StlsSent:
    case PopState::TlsStarting:
    case PopState::CapaSent:
    case PopState::CapaReading:
    case PopState::AuthPlainSent: return true;
    default: return false;
  }
}

}  // namespace zorvik::net
