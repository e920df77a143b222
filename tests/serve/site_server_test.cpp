// The site served over loopback: what is answered, what is refused, and that a
// page replaced while it is fetched is always served whole.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/write.hpp>

#include "base/error.h"
#include "base/file_store.h"
#include "base/output_names.h"
#include "serve/site_server.h"
#include "tests/cli_process.h"
#include "tests/test_files.h"

namespace fragtally::serve {
namespace {
namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using Response = http::response<http::string_body>;
using fragtally::testing::TempFolder;
using fragtally::testing::writeFile;

// A loopback client for one exchange at a time; every wait is bounded by the
// stream's expiry, so a test never hangs on the server.
class Client {
 public:
  explicit Client(std::uint16_t port) : stream_(io_) {
    stream_.expires_after(std::chrono::seconds(20));
    stream_.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
  }

  // Sends the bytes as they are: any target spelling reaches the server.
  void sendRaw(std::string_view bytes) {
    stream_.expires_after(std::chrono::seconds(20));
    asio::write(stream_, asio::buffer(bytes.data(), bytes.size()));
  }

  // The next response; nothing when the server closed the connection instead.
  std::optional<Response> receive(bool head = false) {
    stream_.expires_after(std::chrono::seconds(20));
    http::response_parser<http::string_body> parser;
    parser.body_limit(16 * 1024 * 1024);
    parser.skip(head);
    beast::error_code error;
    http::read(stream_, buffer_, parser, error);
    if (error) return std::nullopt;
    return parser.release();
  }

  std::optional<Response> get(std::string_view target, const std::vector<std::pair<std::string, std::string>>& fields = {},
                              std::string_view method = "GET") {
    std::string request = std::string(method) + " " + std::string(target) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    for (const auto& [name, value] : fields) request += name + ": " + value + "\r\n";
    sendRaw(request + "\r\n");
    return receive(method == "HEAD");
  }

  // Whether the server closed the connection: a read ends without a byte.
  bool closedByServer() {
    stream_.expires_after(std::chrono::seconds(20));
    char byte = 0;
    beast::error_code error;
    const std::size_t got = stream_.read_some(asio::buffer(&byte, 1), error);
    return got == 0 && error && error != beast::error::timeout;
  }

 private:
  asio::io_context io_;
  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
};

// A site with a report (Windows-1251), the index (UTF-8), a record, a picture,
// a sub-folder, a dot-file, and a secret beside the folder that must never
// leave it.
class SiteServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(site / "maps");
    writeFile(site / "index.htm", index);
    writeFile(site / "L1208003.htm", report);
    writeFile(site / "L1208003.json", "{\"format\":\"x\"}\n");
    writeFile(site / "ak47.jpg", std::string("\xFF\xD8\xFF\xE0", 4));
    writeFile(site / "maps" / "de_dust2.svg", "<svg/>");
    writeFile(site / "index.cache", "cache");
    std::filesystem::create_directories(site / "logs");
    writeFile(site / "logs" / "a.log", "L 12/08/2026 - 10:00:00: log on\n");
    writeFile(site / kLockFileName, "locked\n");
    writeFile(folder / "secret.txt", kSecret);
    settings.folder = site;
  }

  SiteServer& start() {
    server.emplace(settings);
    return *server;
  }

  static constexpr std::string_view kSecret = "the secret beside the site";
  TempFolder folder;
  std::filesystem::path site = folder / "site";
  std::string index = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body>\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B</body></html>\n";
  std::string report = "<html>\n<body bgcolor=\"#000000\">\xC8\xE3\xF0\xFB</body>\n</html>\n";
  ServeSettings settings;
  std::optional<SiteServer> server;
};

TEST_F(SiteServerTest, ServesTheFilesWithTheirTypes) {
  Client client(start().port());
  const auto home = client.get("/");
  ASSERT_TRUE(home);
  EXPECT_EQ(home->result(), http::status::ok);
  EXPECT_EQ(home->body(), index);
  EXPECT_EQ((*home)[http::field::content_type], "text/html; charset=utf-8");

  const auto page = client.get("/L1208003.htm");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->body(), report);
  EXPECT_EQ((*page)[http::field::content_type], "text/html; charset=windows-1251");
  EXPECT_EQ((*page)["Refresh"], "");

  const auto record = client.get("/L1208003.json");
  ASSERT_TRUE(record);
  EXPECT_EQ((*record)[http::field::content_type], "application/json");
  const auto picture = client.get("/ak47.jpg");
  ASSERT_TRUE(picture);
  EXPECT_EQ((*picture)[http::field::content_type], "image/jpeg");
  EXPECT_EQ(picture->body(), std::string("\xFF\xD8\xFF\xE0", 4));
  const auto map = client.get("/maps/de_dust2.svg");
  ASSERT_TRUE(map);
  EXPECT_EQ((*map)[http::field::content_type], "image/svg+xml");
  const auto cache = client.get("/index.cache");
  ASSERT_TRUE(cache);
  EXPECT_EQ((*cache)[http::field::content_type], "application/octet-stream");

  const auto head = client.get("/L1208003.htm", {}, "HEAD");
  ASSERT_TRUE(head);
  EXPECT_EQ(head->result(), http::status::ok);
  EXPECT_EQ((*head)[http::field::content_length], std::to_string(report.size()));
  // The connection still works: the HEAD answer carried no body.
  const auto after = client.get("/L1208003.json");
  ASSERT_TRUE(after);
  EXPECT_EQ(after->body(), "{\"format\":\"x\"}\n");
}

TEST_F(SiteServerTest, RefusesEverythingButFilesOfTheFolder) {
  std::error_code error;
  std::filesystem::create_symlink(folder / "secret.txt", site / "out.htm", error);
  const bool links = !error;
  if (links) std::filesystem::create_directory_symlink(folder.path(), site / "up", error);
  const std::uint16_t port = start().port();
  for (const char* target : {
           "/../secret.txt", "/%2e%2e/secret.txt", "/%2E%2E/secret.txt", "/.%2e/secret.txt",
           "/..%2Fsecret.txt", "/%2e%2e%2fsecret.txt", "/maps/..%2F..%2Fsecret.txt", "/..%5Csecret.txt",
           "/maps/%2e%2e/%2e%2e/secret.txt", "/secret.txt%00.htm", "/%00",
           "//secret.txt", "/out.htm", "/up/secret.txt",
           "/.fragtally.lock", "/%2efragtally.lock", "/maps", "/maps/", "/logs/a.log", "/missing.htm",
       }) {
    Client client(port);
    const auto response = client.get(target);
    ASSERT_TRUE(response) << target;
    EXPECT_EQ(response->result(), http::status::not_found) << target;
    EXPECT_EQ(response->body().find(kSecret), std::string::npos) << target;
  }
  for (const char* target : {"secret.txt", "http://127.0.0.1/../secret.txt", "/%zz", "/..\\secret.txt",
                             "/..\\..\\secret.txt"}) {
    Client client(port);
    const auto response = client.get(target);
    ASSERT_TRUE(response) << target;
    EXPECT_EQ(response->result(), http::status::bad_request) << target;
  }
  if (!links) GTEST_SKIP() << "links cannot be made here; the links out of the folder went untried";
}

TEST_F(SiteServerTest, ServesALinkThatStaysInTheFolder) {
  std::error_code error;
  std::filesystem::create_symlink(site / "L1208003.htm", site / "latest.htm", error);
  if (error) GTEST_SKIP() << "links cannot be made here";
  Client client(start().port());
  const auto response = client.get("/latest.htm");
  ASSERT_TRUE(response);
  EXPECT_EQ(response->result(), http::status::ok);
  EXPECT_EQ(response->body(), report);
}

TEST_F(SiteServerTest, AnswersOnlyGetAndHead) {
  const std::uint16_t port = start().port();
  for (const char* method : {"POST", "PUT", "DELETE", "OPTIONS", "TRACE", "PATCH"}) {
    Client client(port);
    const auto response = client.get("/index.htm", {{"Content-Length", "0"}}, method);
    ASSERT_TRUE(response) << method;
    EXPECT_EQ(response->result(), http::status::method_not_allowed) << method;
    EXPECT_EQ((*response)[http::field::allow], "GET, HEAD") << method;
  }
  // A request with a body is answered, and its connection closed unread.
  Client client(port);
  const auto response = client.get("/index.htm", {{"Content-Length", "5"}}, "POST");
  ASSERT_TRUE(response);
  EXPECT_EQ(response->result(), http::status::method_not_allowed);
  EXPECT_FALSE(response->keep_alive());
}

TEST_F(SiteServerTest, RefusesOverlongRequestsAndMalformedOnes) {
  const std::uint16_t port = start().port();
  {
    Client client(port);
    const auto response = client.get("/" + std::string(10000, 'a') + ".htm");
    ASSERT_TRUE(response);
    EXPECT_EQ(response->result(), http::status::uri_too_long);
  }
  {
    Client client(port);
    const auto response = client.get("/index.htm", {{"X-Filler", std::string(10000, 'b')}});
    ASSERT_TRUE(response);
    EXPECT_EQ(response->result(), http::status::request_header_fields_too_large);
  }
  {
    Client client(port);
    client.sendRaw("GARBAGE\r\n\r\n");
    const auto response = client.receive();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->result(), http::status::bad_request);
  }
}

TEST_F(SiteServerTest, AnswersConditionalRequestsWith304OnEitherValidator) {
  Client client(start().port());
  const auto first = client.get("/L1208003.htm");
  ASSERT_TRUE(first);
  const std::string tag((*first)[http::field::etag]);
  const std::string modified((*first)[http::field::last_modified]);
  ASSERT_FALSE(tag.empty());
  ASSERT_FALSE(modified.empty());
  EXPECT_EQ((*first)[http::field::cache_control], "no-cache");

  const auto byTag = client.get("/L1208003.htm", {{"If-None-Match", tag}});
  ASSERT_TRUE(byTag);
  EXPECT_EQ(byTag->result(), http::status::not_modified);
  EXPECT_EQ(byTag->body(), "");
  EXPECT_EQ((*byTag)[http::field::etag], tag);
  const auto inList = client.get("/L1208003.htm", {{"If-None-Match", "\"other\", W/" + tag}});
  ASSERT_TRUE(inList);
  EXPECT_EQ(inList->result(), http::status::not_modified);
  const auto byDate = client.get("/L1208003.htm", {{"If-Modified-Since", modified}});
  ASSERT_TRUE(byDate);
  EXPECT_EQ(byDate->result(), http::status::not_modified);

  // A tag that differs decides alone, whatever the date says.
  const auto otherTag = client.get("/L1208003.htm", {{"If-None-Match", "\"other\""}, {"If-Modified-Since", modified}});
  ASSERT_TRUE(otherTag);
  EXPECT_EQ(otherTag->result(), http::status::ok);
  EXPECT_EQ(otherTag->body(), report);
  const auto older = client.get("/L1208003.htm", {{"If-Modified-Since", "Thu, 01 Jan 1970 00:00:00 GMT"}});
  ASSERT_TRUE(older);
  EXPECT_EQ(older->result(), http::status::ok);

  // The page changes: its tag no longer matches.
  ASSERT_TRUE(replaceFileContents(site / "L1208003.htm", report + "<!-- more -->\n"));
  const auto changed = client.get("/L1208003.htm", {{"If-None-Match", tag}});
  ASSERT_TRUE(changed);
  EXPECT_EQ(changed->result(), http::status::ok);
  EXPECT_NE((*changed)[http::field::etag], tag);
}

TEST_F(SiteServerTest, TellsTheBrowserToReloadAPageBeingPlayed) {
  const std::filesystem::path played = std::filesystem::canonical(site) / "L1208003.htm";
  settings.refreshFor = [&](const std::filesystem::path& page) -> std::optional<unsigned> {
    if (page == played) return 7;
    return std::nullopt;
  };
  Client client(start().port());
  const auto page = client.get("/L1208003.htm");
  ASSERT_TRUE(page);
  EXPECT_EQ((*page)["Refresh"], "7");
  const auto home = client.get("/");
  ASSERT_TRUE(home);
  EXPECT_EQ((*home)["Refresh"], "");
}

TEST_F(SiteServerTest, RefusesAConnectionBeyondTheLimit) {
  settings.maxConnections = 2;
  const std::uint16_t port = start().port();
  auto first = std::make_unique<Client>(port);
  Client second(port);
  ASSERT_TRUE(first->get("/"));
  ASSERT_TRUE(second.get("/"));
  {
    Client third(port);
    const auto refused = third.receive();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->result(), http::status::service_unavailable);
  }
  // Once a connection ends, a new one is taken (its end is noticed at once,
  // but on the server's own time: a bounded number of tries).
  first.reset();
  bool served = false;
  for (int attempt = 0; attempt < 200 && !served; ++attempt) {
    Client again(port);
    const auto response = again.get("/");
    served = response && response->result() == http::status::ok;
    if (!served) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(served);
}

TEST_F(SiteServerTest, ClosesAClientTooSlowToSendItsRequest) {
  settings.requestTime = std::chrono::milliseconds(300);
  const std::uint16_t port = start().port();
  {
    // Silent after connecting.
    Client silent(port);
    EXPECT_TRUE(silent.closedByServer());
  }
  // One byte at a time, each well within any per-read timeout: the request
  // as a whole is late.
  Client slow(port);
  const std::string request = "GET /index.htm HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: " + std::string(200, 's');
  bool refused = false;
  for (std::size_t i = 0; i < request.size() && !refused; ++i) {
    try {
      slow.sendRaw(request.substr(i, 1));
    } catch (const boost::system::system_error&) {
      refused = true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_TRUE(refused || slow.closedByServer());
}

TEST_F(SiteServerTest, ServesAPageWholeWhileItIsReplaced) {
  // Two versions of each page, of different lengths and bytes throughout, one
  // read whole into memory, one large enough to be sent from its handle.
  settings.wholeFileLimit = 64 * 1024;
  const auto version = [](char fill, std::size_t size) { return "<html>" + std::string(size, fill) + "</html>\n"; };
  const std::vector<std::string> small{version('a', 30'000), version('b', 20'000)};
  const std::vector<std::string> large{version('c', 300'000), version('d', 200'000)};
  writeFile(site / "small.htm", small[0]);
  writeFile(site / "large.htm", large[0]);
  const std::uint16_t port = start().port();

  // The real store, renamed over the page, without its waits for the disk.
  StoreSteps quick;
  quick.flush = [](File&) { return true; };
  quick.flushFolder = [](const std::filesystem::path&) { return true; };
  std::atomic<bool> done{false};
  std::thread writer([&] {
    // Ten runs, each replacing both pages with the other version.
    for (int run = 0; run < 10; ++run) {
      for (int step = 0; step < 20; ++step) {
        const std::size_t which = static_cast<std::size_t>(run + step) % 2;
        replaceFileContents(site / "small.htm", small[which], quick);
        replaceFileContents(site / "large.htm", large[which], quick);
      }
    }
    done = true;
  });
  Client client(port);
  int fetched = 0;
  int wrong = 0;
  for (int round = 0; round < 2000 && (!done || round < 40); ++round) {
    const bool largePage = round % 2 == 1;
    const auto response = client.get(largePage ? "/large.htm" : "/small.htm");
    ASSERT_TRUE(response);
    const auto& versions = largePage ? large : small;
    if (response->body() != versions[0] && response->body() != versions[1]) ++wrong;
    ++fetched;
  }
  writer.join();
  EXPECT_EQ(wrong, 0) << "of " << fetched;
}

TEST_F(SiteServerTest, ServesAPageKeptInMemoryNewOnceReplaced) {
  // Of one size, so that only the file's identity tells the versions apart.
  const std::string first = "<html>" + std::string(50'000, 'e') + "</html>\n";
  const std::string second = "<html>" + std::string(50'000, 'f') + "</html>\n";
  for (const std::size_t cacheBytes : {std::size_t{0}, std::size_t{1} << 20}) {
    settings.cacheBytes = cacheBytes;
    writeFile(site / "kept.htm", first);
    Client client(start().port());
    for (int round = 0; round < 3; ++round) {
      const auto response = client.get("/kept.htm");
      ASSERT_TRUE(response) << cacheBytes;
      EXPECT_EQ(response->body(), first) << cacheBytes;
    }
    ASSERT_TRUE(replaceFileContents(site / "kept.htm", second));
    const auto replaced = client.get("/kept.htm");
    ASSERT_TRUE(replaced) << cacheBytes;
    EXPECT_EQ(replaced->body(), second) << cacheBytes;
    // Its headers describe the new file too.
    const auto head = client.get("/kept.htm", {}, "HEAD");
    ASSERT_TRUE(head) << cacheBytes;
    EXPECT_EQ((*head)[http::field::etag], (*replaced)[http::field::etag]) << cacheBytes;
    EXPECT_EQ((*head)[http::field::content_type], "text/html; charset=windows-1251") << cacheBytes;
    server.reset();
  }
}

#ifndef _WIN32
TEST_F(SiteServerTest, RefusesAPipeWithoutWaitingForAWriter) {
  ASSERT_EQ(::mkfifo((site / "pipe.htm").c_str(), 0600), 0);
  Client client(start().port());
  const auto response = client.get("/pipe.htm");
  ASSERT_TRUE(response);
  EXPECT_EQ(response->result(), http::status::not_found);
}
#endif

TEST_F(SiteServerTest, RefusesAFolderThatIsNotThere) {
  settings.folder = folder / "missing";
  EXPECT_THROW(start(), Error);
}

#ifndef _WIN32
TEST_F(SiteServerTest, TheProgramServesUntilSigterm) {
  // A port free a moment ago: the program binds it in turn.
  std::uint16_t port = 0;
  {
    asio::io_context io;
    tcp::acceptor probe(io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
    port = probe.local_endpoint().port();
  }
  fragtally::testing::CliProcess program({"--serve", "127.0.0.1:" + std::to_string(port), "-d", site.string()});
  std::optional<Response> home;
  for (int attempt = 0; attempt < 500 && !home; ++attempt) {
    try {
      Client client(port);
      home = client.get("/");
    } catch (const boost::system::system_error&) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ASSERT_TRUE(home);
  EXPECT_EQ(home->body(), index);
  program.terminate();
  EXPECT_EQ(program.wait(), 0);
}
#endif

}  // namespace
}  // namespace fragtally::serve
