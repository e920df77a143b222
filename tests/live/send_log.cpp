// Replays a log as a game server streams it: one UDP datagram per line.
//   fragtally_send_log LOG ADDRESS:PORT [--secret TEXT] [--rate LINES_PER_SECOND] [--lines N]
// --lines sends N lines, going round the log again when it has fewer.
#include <charconv>
#include <chrono>
#include <fstream>
#include <sstream>
#include <iostream>
#include <string>

#include "base/error.h"
#include "cli/live_option_values.h"
#include "tests/live/log_sender.h"

namespace {

bool readNumber(const std::string& text, double& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace fragtally;
  const char* usage = "usage: fragtally_send_log LOG ADDRESS:PORT [--secret TEXT] [--rate LINES_PER_SECOND] [--lines N]\n";
  if (argc < 3) {
    std::cerr << usage;
    return 2;
  }
  ListenOptions target;
  if (const auto problem = parseListenValue(argv[2], target); problem || !target.address) {
    std::cerr << "fragtally_send_log: " << (problem ? *problem : "the address is missing") << '\n' << usage;
    return 2;
  }
  std::optional<std::string> secret;
  double rate = 0;
  double lineCount = -1;
  if ((argc - 3) % 2 != 0) {
    std::cerr << usage;
    return 2;
  }
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const std::string value = argv[i + 1];
    bool understood = true;
    if (option == "--secret") {
      secret = value;
    } else if (option == "--rate") {
      understood = readNumber(value, rate);
    } else if (option == "--lines") {
      understood = readNumber(value, lineCount);
    } else {
      understood = false;
    }
    if (!understood) {
      std::cerr << usage;
      return 2;
    }
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string log = bytes.str();
  const auto lines = testing::logLines(log);
  if (lines.empty()) {
    std::cerr << "fragtally_send_log: no lines in " << argv[1] << '\n';
    return 1;
  }
  try {
    const live::UdpSocket socket = live::UdpSocket::forSendingTo(*target.address);
    const auto count = lineCount < 0 ? lines.size() : static_cast<std::uint64_t>(lineCount);
    const auto start = std::chrono::steady_clock::now();
    const std::uint64_t accepted = testing::sendLines(socket, {*target.address, target.port}, lines, secret, count, rate);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::cout << accepted << " of " << count << " lines sent in " << took.count() << " s\n";
    return accepted == count ? 0 : 1;
  } catch (const Error& error) {
    std::cerr << "fragtally_send_log: " << error.what() << '\n';
    return 1;
  }
}
