#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace fragtally::serve {

/// fragtally-cli --serve [ADDRESS:]PORT -d DIR, and the limits that keep it
/// bounded whatever clients do.
struct ServeSettings {
  std::string address = "127.0.0.1";  // IPv4 or IPv6 text; "0.0.0.0" or "::" publishes
  std::uint16_t port = 0;             // 0: a free port the system picks
  std::filesystem::path folder;       // DIR, the site; it must exist
  /// Connections open at once, at most; one more is answered 503 and closed.
  unsigned maxConnections = 64;
  /// A request's line and headers must arrive whole within this time of the
  /// connection, or of the last response on it; a silent or slow client is
  /// closed when it passes.
  std::chrono::milliseconds requestTime{10'000};
  /// One response must be taken by the client within this time.
  std::chrono::milliseconds responseTime{60'000};
  /// Files up to this size are read whole into memory; larger ones are sent
  /// from their open handle a piece at a time.
  std::size_t wholeFileLimit = 256 * 1024;
  /// Files read whole are kept in memory for the next request, up to this many
  /// bytes in all (the ones asked for least lately dropped first); each request
  /// still opens its file and sends the kept bytes only if it is the same file,
  /// unchanged. 0 keeps none.
  std::size_t cacheBytes = 8 * 1024 * 1024;
  unsigned threads = 2;
  /// For a page: the seconds after which a browser is to load it again, as
  /// the `Refresh` header says (a report of a match still being played); the
  /// page's real path is given. Called on the server's threads.
  std::function<std::optional<unsigned>(const std::filesystem::path& realPath)> refreshFor;
};

/// Serves the site's files over HTTP, read-only, on threads of its own, from
/// its construction until stop() or its destruction. Only GET and HEAD of
/// regular files in the folder: no folder listing, no dot-file or dot-folder,
/// nothing whose real path (links resolved) lies outside the folder.
class SiteServer {
 public:
  /// Binds and starts; throws Error with the message for the user when the
  /// folder or the address cannot be used.
  explicit SiteServer(ServeSettings settings);
  ~SiteServer();
  SiteServer(const SiteServer&) = delete;
  SiteServer& operator=(const SiteServer&) = delete;

  /// The port bound (the one the system picked for port 0).
  std::uint16_t port() const;
  /// "127.0.0.1:8080", "[::1]:8080".
  std::string endpointText() const;
  /// Closes every connection and ends the threads; waits for them.
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace fragtally::serve
