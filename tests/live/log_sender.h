#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "live/udp_socket.h"

namespace fragtally::testing {

/// A log's lines, each with its line end, as a server sends them one by one.
std::vector<std::string_view> logLines(std::string_view log);

/// The datagram a server sends for a line: FF FF FF FF "log " LINE \0, or with
/// a log secret FF FF FF FF "S" SECRET LINE \0.
std::string logDatagram(std::string_view line, const std::optional<std::string>& secret);

/// Sends `count` lines, going round the log's lines again when it has fewer,
/// at `linesPerSecond` (0: as fast as the socket takes them). Returns the
/// number of datagrams the system accepted.
std::uint64_t sendLines(const live::UdpSocket& socket, const live::Endpoint& to,
                        const std::vector<std::string_view>& lines, const std::optional<std::string>& secret,
                        std::uint64_t count, double linesPerSecond);

}  // namespace fragtally::testing
