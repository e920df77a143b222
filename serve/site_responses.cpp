#include "serve/site_responses.h"

#include <algorithm>
#include <array>
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

// ASCII letters only, as names and charset declarations are compared.
std::string lowered(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
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
std::string entityTag(const OpenFileFacts& facts) {
  char text[64];
  std::snprintf(text, sizeof text, "\"%llx-%llx\"", static_cast<unsigned long long>(facts.bytes),
                static_cast<unsigned long long>(facts.modifiedNanoseconds));
  return text;
}

std::int64_t modifiedSeconds(const OpenFileFacts& facts) {
  constexpr std::int64_t kBillion = 1000000000;
  const std::int64_t seconds = facts.modifiedNanoseconds / kBillion;
  return facts.modifiedNanoseconds % kBillion < 0 ? seconds - 1 : seconds;
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
void setFileHeaders(http::response<Body>& response, const SiteRules& rules, const std::filesystem::path& realPath,
                    std::string_view tag, std::string_view lastModified, std::string_view contentType) {
  response.set(http::field::etag, tag);
  response.set(http::field::last_modified, lastModified);
  // The browser asks again each time, and mostly hears 304: reports change.
  response.set(http::field::cache_control, "no-cache");
  if (!contentType.empty()) {
    response.set(http::field::content_type, contentType);
    response.set("X-Content-Type-Options", "nosniff");
  }
  if (rules.refreshFor && contentType.starts_with("text/html")) {
    if (const auto seconds = rules.refreshFor(realPath)) response.set("Refresh", std::to_string(*seconds));
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

// The open file read whole, into memory that is not cleared first (a report is
// 100 KB), with its answer's headers worked out once; nothing on a read error.
// A file that shrank since it was opened can only have been written in place,
// which no store of this program does; what was read is what is kept.
std::shared_ptr<WholeFile> readWhole(SiteFile& file) {
  auto whole = std::make_shared<WholeFile>();
  const auto size = static_cast<std::size_t>(file.facts.bytes);
  whole->bytes.reset(new char[std::max<std::size_t>(size, 1)]);
  const auto read = readFromHandle(file.file, whole->bytes.get(), size);
  if (!read) return nullptr;
  whole->size = *read;
  whole->realPath = file.realPath;
  whole->facts = file.facts;
  whole->contentType = contentTypeFor(file.realPath, whole->view());
  whole->entityTag = entityTag(file.facts);
  whole->lastModified = httpDate(modifiedSeconds(file.facts));
  return whole;
}

// Whether what was read is the file its facts describe, to be sent again to
// the next who asks: all of it, and nothing changed in place while it was read
// (no store of this program writes so, but another program may).
bool readAsDescribed(const WholeFile& whole, SiteFile& file) {
  if (whole.size != file.facts.bytes) return false;
  const auto after = factsOfOpenFile(file.file.native_handle());
  return after && *after == file.facts;
}

SiteResponse wholeFileResponse(const Request& request, const SiteRules& rules, std::shared_ptr<const WholeFile> whole) {
  const WholeFile& file = *whole;
  if (browserCopyIsCurrent(request, file.entityTag, modifiedSeconds(file.facts))) {
    MemoryResponse response(http::status::not_modified, request.version());
    setFileHeaders(response, rules, file.realPath, file.entityTag, file.lastModified, "");
    return response;
  }
  if (request.method() == http::verb::head) {
    MemoryResponse response(http::status::ok, request.version());
    setFileHeaders(response, rules, file.realPath, file.entityTag, file.lastModified, file.contentType);
    response.content_length(file.size);
    return response;
  }
  BytesResponse response{std::move(whole), {http::status::ok, request.version()}};
  setFileHeaders(response.message, rules, file.realPath, file.entityTag, file.lastModified, file.contentType);
  response.message.body() = {file.bytes.get(), file.size};
  response.message.prepare_payload();
  return response;
}

// A file not held in memory: a large one sent from its handle a piece at a
// time, or one whose headers alone are asked for.
SiteResponse handleResponse(const Request& request, const SiteRules& rules, SiteFile file) {
  const std::string tag = entityTag(file.facts);
  const std::string lastModified = httpDate(modifiedSeconds(file.facts));
  // Its start, for the charset of a page.
  char start[kCharsetLookout];
  const auto read = readFromHandle(file.file, start, sizeof start);
  if (!read) return plainResponse(http::status::not_found, request.version());
  const std::string_view contentType = contentTypeFor(file.realPath, std::string_view(start, *read));

  if (browserCopyIsCurrent(request, tag, modifiedSeconds(file.facts))) {
    MemoryResponse response(http::status::not_modified, request.version());
    setFileHeaders(response, rules, file.realPath, tag, lastModified, "");
    return response;
  }
  if (request.method() == http::verb::head) {
    MemoryResponse response(http::status::ok, request.version());
    setFileHeaders(response, rules, file.realPath, tag, lastModified, contentType);
    response.content_length(file.facts.bytes);
    return response;
  }
  boost::beast::error_code error;
  file.file.seek(0, error);
  if (error) return plainResponse(http::status::not_found, request.version());
  FileResponse response(http::status::ok, request.version());
  setFileHeaders(response, rules, file.realPath, tag, lastModified, contentType);
  response.body().reset(std::move(file.file), error);
  if (error) return plainResponse(http::status::not_found, request.version());
  response.content_length(file.facts.bytes);
  return response;
}

SiteResponse fileResponse(const Request& request, const SiteRules& rules, SiteFile file) {
  std::shared_ptr<const WholeFile> whole;
  if (rules.cache) whole = rules.cache->find(file.realPath, file.facts);
  if (!whole && file.facts.bytes <= rules.wholeFileLimit && request.method() != http::verb::head) {
    auto read = readWhole(file);
    if (!read) return plainResponse(http::status::not_found, request.version());
    if (rules.cache && readAsDescribed(*read, file)) rules.cache->keep(read);
    whole = std::move(read);
  }
  if (whole) return wholeFileResponse(request, rules, std::move(whole));
  return handleResponse(request, rules, std::move(file));
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
