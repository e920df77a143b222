#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "live/activity_log.h"
#include "live/drop_counts.h"
#include "live/live_sessions.h"
#include "live/udp_socket.h"

namespace fragtally::live {

struct ListenerSettings {
  std::optional<IpAddress> address;  // nothing: every address
  std::uint16_t port = 0;            // 0: one the system chooses
  std::vector<IpAddress> allowed;    // empty: the loopback addresses
  std::optional<std::string> secret;
  std::filesystem::path logsFolder;  // the raw logs
  SessionTimes times;
  std::size_t maxSources = 64;
  std::chrono::seconds syncEvery{5};
  std::chrono::seconds dropReportEvery{300};
};

/// Receives a server's log stream: takes the datagrams of allowed sources
/// that carry a line (and the secret), counts the others by reason, and keeps
/// the sources' logs.
class Listener {
 public:
  /// Binds the socket. Throws Error.
  Listener(const ListenerSettings& settings, MatchOutputs& outputs, ActivityLog& activity);

  Endpoint localEndpoint() const { return socket_.localEndpoint(); }

  /// Waits up to `wait` for datagrams, takes what has arrived, and runs the
  /// logs' timers.
  void pollOnce(std::chrono::milliseconds wait);
  /// Finishes every log and reports the dropped datagrams not yet reported.
  void stop();

  const DropCounts& drops() const { return drops_; }
  std::uint64_t linesTaken() const { return linesTaken_; }

 private:
  void take(const UdpSocket::Received& received, Clock::time_point now);
  bool allowed(const IpAddress& address) const;
  void reportDrops();

  ListenerSettings settings_;
  ActivityLog& activity_;
  UdpSocket socket_;
  LiveSessions sessions_;
  DropCounts drops_;
  DropCounts reported_;
  std::uint64_t linesTaken_ = 0;
  Clock::time_point lastSync_;
  Clock::time_point lastDropReport_;
  std::vector<char> buffer_;
};

}  // namespace fragtally::live
