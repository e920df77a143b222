#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <variant>

#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/file_body.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/span_body.hpp>
#include <boost/beast/http/string_body.hpp>

#include "serve/whole_file_cache.h"

namespace fragtally::serve {

/// What the site's answers depend on besides the request.
struct SiteRules {
  std::filesystem::path realRoot;  // the site folder's real path, links resolved
  /// A file up to this size is read whole from its open handle and sent from
  /// memory; a larger one is sent from the handle a piece at a time.
  std::size_t wholeFileLimit = 256 * 1024;
  /// Where files read whole are kept for the next request, or none.
  std::shared_ptr<WholeFileCache> cache;
  /// For an HTML page: the seconds after which a browser is to load it again
  /// (a report of a match still being played), or nothing.
  std::function<std::optional<unsigned>(const std::filesystem::path& realPath)> refreshFor;
};

using Request = boost::beast::http::request<boost::beast::http::empty_body>;
using MemoryResponse = boost::beast::http::response<boost::beast::http::string_body>;
using FileResponse = boost::beast::http::response<boost::beast::http::file_body>;
/// A file read whole from its handle (now, or kept from an earlier request),
/// and the answer that sends those bytes from where they lie.
struct BytesResponse {
  std::shared_ptr<const WholeFile> file;
  boost::beast::http::response<boost::beast::http::span_body<const char>> message;
};
using SiteResponse = std::variant<MemoryResponse, FileResponse, BytesResponse>;

/// The answer to one request: GET and HEAD of a regular file in the site
/// (200, or 304 when the browser's copy is current by either validator); 405
/// for any other method, 400 for a target that is no path, 404 for anything
/// the site does not serve. Keep-alive is left to the caller.
SiteResponse respond(const Request& request, const SiteRules& rules);

/// An answer without a file: `status` with a one-line text.
MemoryResponse plainResponse(boost::beast::http::status status, unsigned version);

/// The Content-Type of a file by its name; an HTML page by the charset its
/// start declares (`start`: its first bytes, at most 1024 are looked at).
std::string_view contentTypeFor(const std::filesystem::path& file, std::string_view start);

}  // namespace fragtally::serve
