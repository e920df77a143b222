#include "serve/site_server.h"

#include <algorithm>
#include <atomic>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <variant>
#include <vector>

#include <boost/asio/dispatch.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/strand.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

#include "base/error.h"
#include "base/file.h"
#include "serve/site_responses.h"

namespace fragtally::serve {
namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

// A request's line and headers together, at most (as browsers send them, a
// few hundred bytes to a few KB).
constexpr std::uint32_t kHeadLimit = 8192;

struct Shared {
  ServeSettings settings;
  SiteRules rules;
  std::atomic<unsigned> connections{0};
};

// One connection: requests read and answered in turn, each within its time.
class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(tcp::socket socket, Shared& shared) : stream_(std::move(socket)), buffer_(2 * kHeadLimit), shared_(shared) {}
  ~Session() { shared_.connections.fetch_sub(1); }

  void start() {
    asio::dispatch(stream_.get_executor(), [self = shared_from_this()] { self->readRequest(); });
  }

 private:
  void readRequest() {
    parser_.emplace();
    parser_->header_limit(kHeadLimit);
    stream_.expires_after(shared_.settings.requestTime);
    http::async_read_header(stream_, buffer_, *parser_,
                            [self = shared_from_this()](beast::error_code error, std::size_t) { self->onRead(error); });
  }

  void onRead(beast::error_code error) {
    if (error == http::error::header_limit || error == http::error::buffer_overflow) {
      // Before the line's end is seen the request line alone is too long.
      const std::string_view read(static_cast<const char*>(buffer_.data().data()), buffer_.size());
      const bool lineEnded = read.find("\r\n") != std::string_view::npos;
      send(plainResponse(lineEnded ? http::status::request_header_fields_too_large : http::status::uri_too_long, 11),
           false);
      return;
    }
    if (error) {
      // A request the parser refuses gets 400; a closed, broken or timed-out
      // connection gets nothing.
      const bool refused = error.category() == beast::error_code(http::error::bad_target).category() &&
                           error != http::error::end_of_stream && error != http::error::partial_message;
      if (refused) {
        send(plainResponse(http::status::bad_request, 11), false);
      } else {
        close();
      }
      return;
    }
    const Request& request = parser_->get();
    // A request with a body is answered, then the connection closed: the body is never read.
    const bool keepAlive = request.keep_alive() && !parser_->chunked() && parser_->content_length().value_or(0) == 0;
    SiteResponse response;
    try {
      response = respond(request, shared_.rules);
    } catch (...) {
      response = plainResponse(http::status::internal_server_error, request.version());
    }
    std::visit([&](auto& answer) { send(std::move(answer), keepAlive); }, response);
  }

  template <class Body>
  void send(http::response<Body>&& response, bool keepAlive) {
    auto held = std::make_shared<http::response<Body>>(std::move(response));
    write(held, *held, keepAlive);
  }

  void send(BytesResponse&& response, bool keepAlive) {
    auto held = std::make_shared<BytesResponse>(std::move(response));
    write(held, held->message, keepAlive);
  }

  // `held` keeps the message and what it refers to until it is written.
  template <class Message>
  void write(std::shared_ptr<void> held, Message& message, bool keepAlive) {
    message.keep_alive(keepAlive);
    response_ = std::move(held);
    stream_.expires_after(shared_.settings.responseTime);
    http::async_write(stream_, message, [self = shared_from_this(), keepAlive](beast::error_code error, std::size_t) {
      self->onWritten(error, keepAlive);
    });
  }

  void onWritten(beast::error_code error, bool keepAlive) {
    response_.reset();
    if (error || !keepAlive) {
      close();
      return;
    }
    readRequest();
  }

  void close() {
    beast::error_code ignored;
    stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
    stream_.close();
  }

  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::empty_body>> parser_;
  std::shared_ptr<void> response_;
  Shared& shared_;
};

std::string serialized(const MemoryResponse& response) {
  std::ostringstream text;
  text << response;
  return text.str();
}

}  // namespace

struct SiteServer::Impl {
  explicit Impl(ServeSettings settings) : acceptor(io) {
    shared.settings = std::move(settings);
  }

  void accept() {
    acceptor.async_accept(asio::make_strand(io), [this](beast::error_code error, tcp::socket socket) {
      if (error == asio::error::operation_aborted) return;
      if (!error) {
        if (shared.connections.fetch_add(1) >= shared.settings.maxConnections) {
          shared.connections.fetch_sub(1);
          refuse(socket);
        } else {
          // A response goes out in one write and the next request waits for
          // it: nothing is gained by holding back its last small segment.
          beast::error_code ignored;
          socket.set_option(tcp::no_delay(true), ignored);
          std::make_shared<Session>(std::move(socket), shared)->start();
        }
      }
      accept();
    });
  }

  // One connection too many: a short 503 written at once (it fits in a new
  // socket's buffer), then closed.
  void refuse(tcp::socket& socket) {
    beast::error_code ignored;
    socket.non_blocking(true, ignored);
    socket.write_some(asio::buffer(refusal), ignored);
    socket.shutdown(tcp::socket::shutdown_send, ignored);
    socket.close(ignored);
  }

  // Destroyed in this order's reverse: the context, destroying the sessions
  // still waiting in it, before what they refer to.
  Shared shared;
  std::string refusal;
  asio::io_context io;
  tcp::acceptor acceptor;
  std::vector<std::thread> threads;
};

SiteServer::SiteServer(ServeSettings settings) : impl_(std::make_unique<Impl>(std::move(settings))) {
  Impl& impl = *impl_;
  const ServeSettings& given = impl.shared.settings;
  std::error_code folderError;
  impl.shared.rules.realRoot = std::filesystem::canonical(given.folder, folderError);
  if (folderError || !std::filesystem::is_directory(impl.shared.rules.realRoot, folderError)) {
    throw cannotOpenFile(utf8FromPath(given.folder));
  }
  impl.shared.rules.wholeFileLimit = given.wholeFileLimit;
  if (given.cacheBytes > 0) impl.shared.rules.cache = std::make_shared<WholeFileCache>(given.cacheBytes);
  impl.shared.rules.refreshFor = given.refreshFor;
  MemoryResponse refusal = plainResponse(http::status::service_unavailable, 11);
  refusal.keep_alive(false);
  impl.refusal = serialized(refusal);

  beast::error_code error;
  const auto address = asio::ip::make_address(given.address, error);
  const std::string where = (address.is_v6() ? "[" + given.address + "]" : given.address) + ":" + std::to_string(given.port);
  if (error) throw Error("Cannot serve on " + where + ": not an address");
  const tcp::endpoint endpoint(address, given.port);
  impl.acceptor.open(endpoint.protocol(), error);
  if (!error) impl.acceptor.set_option(asio::socket_base::reuse_address(true), error);
  if (!error) impl.acceptor.bind(endpoint, error);
  if (!error) impl.acceptor.listen(asio::socket_base::max_listen_connections, error);
  if (error) throw Error("Cannot serve on " + where + ": " + error.message());

  impl.accept();
  for (unsigned i = 0; i < std::max(1u, given.threads); ++i) {
    impl.threads.emplace_back([&impl] {
      for (;;) {
        try {
          impl.io.run();
          return;
        } catch (...) {
          // A handler's failure ends its connection only.
        }
      }
    });
  }
}

SiteServer::~SiteServer() { stop(); }

std::uint16_t SiteServer::port() const { return impl_->acceptor.local_endpoint().port(); }

std::string SiteServer::endpointText() const {
  beast::error_code error;
  const tcp::endpoint endpoint = impl_->acceptor.local_endpoint(error);
  const std::string address = endpoint.address().to_string();
  return (endpoint.address().is_v6() ? "[" + address + "]" : address) + ":" + std::to_string(endpoint.port());
}

void SiteServer::stop() {
  if (impl_->threads.empty()) return;
  impl_->io.stop();
  for (std::thread& thread : impl_->threads) thread.join();
  impl_->threads.clear();
}

}  // namespace fragtally::serve
