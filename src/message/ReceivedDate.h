/// \file
/// The date a mail reached a server, read from a "Received:" line: the text
/// after its last ";" is a Date value ("... ; Mon, 7 Dec 2026 09:30:00
/// +0900"). Servers write it in their own zone, so it is read like Date.
#pragma once

#include <ctime>
#include <optional>
#include <string_view>

namespace zorvik::message {

/// The date of a line beginning with "Received:" (any letter case); empty
/// for any other line, a line without ";" or a date that cannot be read.
std::optional<std::time_t> dateFromReceived(std::string_view line, int zoneHours);

}  // namespace zorvik::message
