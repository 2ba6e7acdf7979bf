/// \file
/// The IPv4 socket address of a mail server, shared by the POP3 and SMTP
/// sockets so that both accept the same host names and address literals.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace zorvik::net {

/// The address of `host` at `port`. The name is looked up first and only
/// then read as a dotted quad, so a resolver that knows nothing of an
/// address literal still lets it through. Nothing for an empty host or one
/// with no IPv4 address; the lookup may block while the resolver asks.
std::optional<sockaddr_in> serverAddress(std::string_view host, std::uint16_t port);

}  // namespace zorvik::net
