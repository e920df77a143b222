// fragtally_generate_log SIZE SEED [-o FILE] [--profile NAME]: writes a made-up
// server log of at most SIZE bytes (whole lines; K, M and G suffixes count in
// 1024s) to FILE or to standard output. The same SIZE, SEED and profile give the
// same bytes everywhere.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "base/file.h"
#include "bench/log_generator.h"

namespace {

constexpr const char* kUsage =
    "usage: fragtally_generate_log SIZE SEED [-o FILE] [--profile long-game|public-match]\n"
    "  SIZE       most bytes to write, e.g. 4000000, 64K, 100M, 1G (powers of 1024)\n"
    "  SEED       a whole number; the same size and seed give the same log\n"
    "  -o         the log file (default: standard output)\n"
    "  --profile  long-game (default): one long game of a few dozen players;\n"
    "             public-match: one match of a public server, its people drawn\n"
    "             from a pool that logs of other seeds share\n";

std::optional<std::uint64_t> readCount(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  const std::string_view suffix(end, static_cast<std::size_t>(text.data() + text.size() - end));
  unsigned shift = 0;
  if (suffix == "K" || suffix == "k") {
    shift = 10;
  } else if (suffix == "M" || suffix == "m") {
    shift = 20;
  } else if (suffix == "G" || suffix == "g") {
    shift = 30;
  } else if (!suffix.empty()) {
    return std::nullopt;
  }
  if (shift > 0 && value > (UINT64_MAX >> shift)) return std::nullopt;
  return value << shift;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::string> outPath;
  fragtally::LogProfile profile = fragtally::LogProfile::LongGame;
  std::string_view positional[2];
  int positionals = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-o" && i + 1 < argc) {
      outPath = argv[++i];
    } else if (arg == "--profile" && i + 1 < argc &&
               (std::string_view(argv[i + 1]) == "long-game" || std::string_view(argv[i + 1]) == "public-match")) {
      profile = std::string_view(argv[++i]) == "public-match" ? fragtally::LogProfile::PublicMatch
                                                              : fragtally::LogProfile::LongGame;
    } else if (positionals < 2 && !arg.starts_with("-")) {
      positional[positionals++] = arg;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  const std::optional<std::uint64_t> size = positionals == 2 ? readCount(positional[0]) : std::nullopt;
  const std::optional<std::uint64_t> seed = positionals == 2 ? readCount(positional[1]) : std::nullopt;
  if (!size || !seed) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  if (outPath) {
    fragtally::File file = fragtally::File::createForWriting(fragtally::pathFromUtf8(*outPath));
    bool ok = file.isOpen();
    if (ok) {
      fragtally::writeLog(static_cast<std::size_t>(*size), *seed,
                          [&](std::string_view piece) { ok = ok && file.write(piece); }, profile);
      ok = file.close() && ok;
    }
    if (!ok) {
      std::fprintf(stderr, "fragtally_generate_log: cannot write %s\n", outPath->c_str());
      return 1;
    }
    return 0;
  }

  bool ok = true;
  fragtally::writeLog(static_cast<std::size_t>(*size), *seed, [&](std::string_view piece) {
    ok = ok && std::fwrite(piece.data(), 1, piece.size(), stdout) == piece.size();
  }, profile);
  if (std::fflush(stdout) != 0 || !ok) {
    std::fputs("fragtally_generate_log: cannot write to standard output\n", stderr);
    return 1;
  }
  return 0;
}
