#include "serve/site_responses.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <string>

#include "serve/http_date.h"
#include "serve/site_file.h"
#include "serve/site_target.h"

namespace fragtally::serve {
namespace http = boost::beast::http;
namespace {

// As far as a browser looks for a page's declared charset.
constexpr std::size_t kCharsetLookout = 1024;

std::string lowered(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// The index and every other page written as UTF-8 say so in their head; the
// match report's fixed format declares nothing and is Windows-1251.
std::string_view htmlContentType(std::string_view start) {
  const std::string head = lowered(start.substr(0, kCharsetLookout));
  const auto charset = head.find("charset=");
  if (charset != std::string::npos) {
    std::string_view value = std::string_view(head).substr(charset + 8);
    if (!value.empty() && (value.front() == '"' || value.front() == '\'')) value.remove_prefix(1);
    if (value.starts_with("utf-8")) return "text/html; charset=utf-8";
  }
  return "text/html; charset=windows-1251";
}

// A strong validator of the open file: its size and modification time.
std::string entityTag(const SiteFile& file) {
  char text[64];
  std::snprintf(text, sizeof text, "\"%llx-%llx\"", static_cast<unsigned long long>(file.bytes),
                static_cast<unsigned long long>(file.modifiedNanoseconds));
  return text;
}

std::int64_t modifiedSeconds(const SiteFile& file) {
  constexpr std::int64_t kBillion = 1000000000;
  const std::int64_t seconds = file.modifiedNanoseconds / kBillion;
  return file.modifiedNanoseconds % kBillion < 0 ? seconds - 1 : seconds;
}

// If-None-Match: "*" or a comma-separated list of tags, weak ones ("W/") compared
// by their opaque part as RFC 9110 has it for GET.
bool tagListMatches(std::string_view list, std::string_view tag) {
  while (!list.empty()) {
    const auto comma = list.find(',');
    std::string_view item = list.substr(0, comma);
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) item.remove_prefix(1);
    while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.remove_suffix(1);
    if (item.starts_with("W/")) item.remove_prefix(2);
    if (item == "*" || item == tag) return true;
  }
  return false;
}

// RFC 9110: If-None-Match, when sent, decides alone; If-Modified-Since only
// without it.
bool browserCopyIsCurrent(const Request& request, std::string_view tag, std::int64_t modified) {
  if (const auto match = request.find(http::field::if_none_match); match != request.end()) {
    return tagListMatches(match->value(), tag);
  }
  if (const auto since = request.find(http::field::if_modified_since); since != request.end()) {
    const auto sinceSeconds = parseHttpDate(since->value());
    return sinceSeconds && modified <= *sinceSeconds;
  }
  return false;
}

template <class Body>
void setFileHeaders(http::response<Body>& response, const SiteRules& rules, const SiteFile& file,
                    std::string_view tag, std::string_view contentType) {
  response.set(http::field::etag, tag);
  response.set(http::field::last_modified, httpDate(modifiedSeconds(file)));
  // The browser asks again each time, and mostly hears 304: reports change.
  response.set(http::field::cache_control, "no-cache");
  if (!contentType.empty()) {
    response.set(http::field::content_type, contentType);
    response.set("X-Content-Type-Options", "nosniff");
  }
  if (rules.refreshFor && contentType.starts_with("text/html")) {
    if (const auto seconds = rules.refreshFor(file.realPath)) response.set("Refresh", std::to_string(*seconds));
  }
}

// Reads up to `size` bytes from the handle's current place into `into`; the
// count read, or nothing on a read error.
std::optional<std::size_t> readFromHandle(boost::beast::file& file, char* into, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    boost::beast::error_code error;
    const std::size_t got = file.read(into + done, size - done, error);
    if (error) return std::nullopt;
    if (got == 0) break;
    done += got;
  }
  return done;
}

SiteResponse fileResponse(const Request& request, const SiteRules& rules, SiteFile file) {
  const std::string tag = entityTag(file);
  const bool head = request.method() == http::verb::head;
  const bool whole = file.bytes <= rules.wholeFileLimit && !head;
  // The whole file, or its start for the charset of a page.
  const std::size_t firstRead = whole ? static_cast<std::size_t>(file.bytes) : kCharsetLookout;
  std::unique_ptr<char[]> bytes(new char[std::max<std::size_t>(firstRead, 1)]);
  const auto read = readFromHandle(file.file, bytes.get(), firstRead);
  if (!read) return plainResponse(http::status::not_found, request.version());
  const std::string_view contentType = contentTypeFor(file.realPath, std::string_view(bytes.get(), *read));

  if (browserCopyIsCurrent(request, tag, modifiedSeconds(file))) {
    MemoryResponse response(http::status::not_modified, request.version());
    setFileHeaders(response, rules, file, tag, "");
    return response;
  }
  if (head) {
    MemoryResponse response(http::status::ok, request.version());
    setFileHeaders(response, rules, file, tag, contentType);
    response.content_length(file.bytes);
    return response;
  }
  if (whole) {
    // A file that shrank since it was opened can only have been written in
    // place, which no store of this program does; what was read is sent.
    BytesResponse response{std::move(bytes), {http::status::ok, request.version()}};
    setFileHeaders(response.message, rules, file, tag, contentType);
    response.message.body() = {response.bytes.get(), *read};
    response.message.prepare_payload();
    return response;
  }
  boost::beast::error_code error;
  file.file.seek(0, error);
  if (error) return plainResponse(http::status::not_found, request.version());
  FileResponse response(http::status::ok, request.version());
  setFileHeaders(response, rules, file, tag, contentType);
  response.body().reset(std::move(file.file), error);
  if (error) return plainResponse(http::status::not_found, request.version());
  response.content_length(file.bytes);
  return response;
}

SiteResponse answer(const Request& request, const SiteRules& rules) {
  if (request.method() != http::verb::get && request.method() != http::verb::head) {
    return plainResponse(http::status::method_not_allowed, request.version());
  }
  const SiteTarget target = siteTargetFor(request.target());
  if (target.kind == SiteTarget::Kind::badTarget) return plainResponse(http::status::bad_request, request.version());
  if (target.kind != SiteTarget::Kind::file) return plainResponse(http::status::not_found, request.version());
  auto file = openSiteFile(rules.realRoot, target.file);
  if (!file) return plainResponse(http::status::not_found, request.version());
  return fileResponse(request, rules, std::move(*file));
}

}  // namespace

MemoryResponse plainResponse(http::status status, unsigned version) {
  MemoryResponse response(status, version);
  response.set(http::field::content_type, "text/plain; charset=utf-8");
  response.body() = std::string(http::obsolete_reason(status)) + "\n";
  if (status == http::status::method_not_allowed) response.set(http::field::allow, "GET, HEAD");
  response.prepare_payload();
  return response;
}

std::string_view contentTypeFor(const std::filesystem::path& file, std::string_view start) {
  const std::string extension = lowered(file.extension().string());
  if (extension == ".htm" || extension == ".html") return htmlContentType(start);
  if (extension == ".json") return "application/json";
  if (extension == ".jpg" || extension == ".jpeg") return "image/jpeg";
  if (extension == ".svg") return "image/svg+xml";
  if (extension == ".css") return "text/css; charset=utf-8";
  return "application/octet-stream";
}

SiteResponse respond(const Request& request, const SiteRules& rules) {
  SiteResponse response = answer(request, rules);
  // A HEAD answer keeps its Content-Length and sends no body.
  if (auto* memory = std::get_if<MemoryResponse>(&response); memory && request.method() == http::verb::head) {
    memory->body().clear();
  }
  return response;
}

}  // namespace fragtally::serve
