#include "live/listener.h"

#include <algorithm>
#include <string_view>

namespace fragtally::live {
namespace {

// Room to see that a datagram is over the limit.
constexpr std::size_t kBufferBytes = 2 * kMaxDatagramBytes;
// A flood still leaves time for the timers.
constexpr int kMostDatagramsAtOnce = 4096;

}  // namespace

Listener::Listener(const ListenerSettings& settings, MatchOutputs& outputs, ActivityLog& activity)
    : settings_(settings),
      activity_(activity),
      socket_(UdpSocket::bound(settings.address, settings.port)),
      sessions_(settings.logsFolder, settings.times, settings.maxSources, outputs, activity),
      lastSync_(Clock::now()),
      lastDropReport_(lastSync_),
      buffer_(kBufferBytes) {
  for (IpAddress& address : settings_.allowed) address = withoutIpv4Mapping(address);
}

bool Listener::allowed(const IpAddress& address) const {
  if (settings_.allowed.empty()) return isLoopback(address);
  return std::find(settings_.allowed.begin(), settings_.allowed.end(), address) != settings_.allowed.end();
}

void Listener::take(const UdpSocket::Received& received, Clock::time_point now) {
  const IpAddress from = withoutIpv4Mapping(received.from.address);
  if (!allowed(from)) return drops_.add(DropReason::notAllowed);
  if (received.truncated) return drops_.add(DropReason::oversized);
  const ParsedDatagram parsed = parseDatagram(std::string_view(buffer_.data(), received.bytes), settings_.secret);
  if (parsed.dropped) return drops_.add(*parsed.dropped);
  const Endpoint source{from, received.from.port};
  if (const auto dropped = sessions_.takeLine(source, parsed.line, now)) return drops_.add(*dropped);
  ++linesTaken_;
}

void Listener::pollOnce(std::chrono::milliseconds wait) {
  if (socket_.waitForDatagram(wait)) {
    for (int i = 0; i < kMostDatagramsAtOnce; ++i) {
      const auto received = socket_.receive(buffer_.data(), buffer_.size());
      if (!received) break;
      take(*received, Clock::now());
    }
    sessions_.flush();
  }
  const Clock::time_point now = Clock::now();
  sessions_.tick(now);
  if (now - lastSync_ >= settings_.syncEvery) {
    sessions_.sync();
    lastSync_ = now;
  }
  if (now - lastDropReport_ >= settings_.dropReportEvery) {
    reportDrops();
    lastDropReport_ = now;
  }
}

void Listener::reportDrops() {
  if (drops_.total() == reported_.total()) return;
  activity_.write(drops_.text() + " since the start");
  reported_ = drops_;
}

void Listener::stop() {
  sessions_.finishAll();
  reportDrops();
}

}  // namespace fragtally::live
