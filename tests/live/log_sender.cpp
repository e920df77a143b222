#include "tests/live/log_sender.h"

#include <chrono>
#include <thread>

namespace fragtally::testing {

std::vector<std::string_view> logLines(std::string_view log) {
  std::vector<std::string_view> lines;
  while (!log.empty()) {
    const std::size_t end = log.find('\n');
    const std::size_t length = end == std::string_view::npos ? log.size() : end + 1;
    lines.push_back(log.substr(0, length));
    log.remove_prefix(length);
  }
  return lines;
}

std::string logDatagram(std::string_view line, const std::optional<std::string>& secret) {
  std::string datagram("\xFF\xFF\xFF\xFF", 4);
  datagram += secret ? "S" + *secret : std::string("log ");
  datagram += line;
  datagram += '\0';
  return datagram;
}

std::uint64_t sendLines(const live::UdpSocket& socket, const live::Endpoint& to,
                        const std::vector<std::string_view>& lines, const std::optional<std::string>& secret,
                        std::uint64_t count, double linesPerSecond) {
  if (lines.empty()) return 0;
  std::vector<std::string> datagrams;
  datagrams.reserve(lines.size());
  for (const std::string_view line : lines) datagrams.push_back(logDatagram(line, secret));

  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  std::uint64_t sent = 0;
  std::uint64_t accepted = 0;
  while (sent < count) {
    std::uint64_t due = count;
    if (linesPerSecond > 0) {
      const std::chrono::duration<double> elapsed = Clock::now() - start;
      due = std::min(count, static_cast<std::uint64_t>(elapsed.count() * linesPerSecond) + 1);
      if (due <= sent) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        continue;
      }
    }
    for (; sent < due; ++sent) {
      if (socket.sendTo(to, datagrams[sent % datagrams.size()])) ++accepted;
    }
  }
  return accepted;
}

}  // namespace fragtally::testing
