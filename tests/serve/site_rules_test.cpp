// The rules of the site that need no network: which targets name a file, the
// content types, the HTTP dates.
#include <gtest/gtest.h>

#include <string>

#include "base/file.h"
#include "serve/http_date.h"
#include "serve/site_file.h"
#include "serve/site_responses.h"
#include "serve/site_target.h"

namespace fragtally::serve {
namespace {

using Kind = SiteTarget::Kind;

TEST(SiteTargetTest, NamesFilesOfTheFolderAndItsSubFolders) {
  EXPECT_EQ(siteTargetFor("/").file, std::filesystem::path("index.htm"));
  EXPECT_EQ(siteTargetFor("/L1208003-2.htm").file, std::filesystem::path("L1208003-2.htm"));
  EXPECT_EQ(siteTargetFor("/maps/a.jpg?x=1").file, std::filesystem::path("maps") / "a.jpg");
  // Decoded by the URL library: a space and Cyrillic letters in a name.
  EXPECT_EQ(siteTargetFor("/a%20b.htm").file, std::filesystem::path("a b.htm"));
  EXPECT_EQ(siteTargetFor("/%D0%BA.jpg").kind, Kind::file);
  EXPECT_EQ(siteTargetFor("/%D0%BA.jpg").file, pathFromUtf8("\xD0\xBA.jpg"));
  // The URL library reads a leading "/./" as no segment at all.
  EXPECT_EQ(siteTargetFor("/./index.htm").file, std::filesystem::path("index.htm"));
}

TEST(SiteTargetTest, RefusesEveryWayOutAndEveryHiddenName) {
  for (const char* target : {
           "/..", "/../etc/passwd", "/a/../../x", "/a/..",             // plain
           "/%2e%2e/x", "/%2E%2E/x", "/.%2e/x", "/%2e./x",           // encoded dots
           "/a%2F..%2F..%2Fx", "/..%2Fx", "/%2F..", "/%2fetc%2fpasswd",  // encoded slashes
           "/..%5Cx", "/a%5C..%5Cx", "/%5C%5Cserver%5Cshare",           // encoded backslashes
           "/a%00.htm", "/a%0a.htm", "/%7f",                           // control bytes
           "/c:%5Cwindows", "/a.htm%3A%3A$DATA", "/C:",                // drives, streams
           "/.lock", "/%2elock", "/.git/config", "/sub/.hidden",       // dot-files and dot-folders
           "/.", "/./..", "/.//x",                                     // the folder itself
           "//", "//etc/passwd", "/sub/", "/sub//a.htm",               // empty segments: folders
           "/logs/a.log", "/logs",                                     // the raw logs
       }) {
    EXPECT_EQ(siteTargetFor(target).kind, Kind::notServed) << target;
  }
  // Bytes a path may not hold as they are (a backslash, a space) make no path.
  for (const char* target : {"", "index.htm", "*", "http://example.org/index.htm", "/a%zz", "/a%2", "/a\\..\\x",
                             "/..\\x", "/a b"}) {
    EXPECT_EQ(siteTargetFor(target).kind, Kind::badTarget) << target;
  }
}

TEST(SiteFileTest, TellsWhatLiesUnderAFolder) {
  const std::filesystem::path root = std::filesystem::path("/srv") / "site";
  EXPECT_TRUE(liesUnder(root / "a.htm", root));
  EXPECT_TRUE(liesUnder(root / "logs" / "a.log", root));
  EXPECT_FALSE(liesUnder(std::filesystem::path("/srv") / "site2" / "a.htm", root));
  EXPECT_FALSE(liesUnder(std::filesystem::path("/srv") / "a.htm", root));
  EXPECT_TRUE(liesUnder(root / "a.htm", std::filesystem::path("/srv/site/")));
}

TEST(ContentTypeTest, ReportsAreWindows1251AndPagesThatSaySoAreUtf8) {
  // The match report's fixed format declares no charset.
  EXPECT_EQ(contentTypeFor("L1208003.htm", "<html>\n<body bgcolor=\"#000000\" text=\"#FFFFFF\">\n"),
            "text/html; charset=windows-1251");
  EXPECT_EQ(contentTypeFor("index.htm", "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">"),
            "text/html; charset=utf-8");
  EXPECT_EQ(contentTypeFor("page.HTML", "<meta http-equiv=\"Content-Type\" content=\"text/html; CHARSET=UTF-8\">"),
            "text/html; charset=utf-8");
  // A declaration past the first 1024 bytes is not looked for, as browsers do.
  EXPECT_EQ(contentTypeFor("late.htm", std::string(1100, ' ') + "<meta charset=\"utf-8\">"),
            "text/html; charset=windows-1251");
  EXPECT_EQ(contentTypeFor("L1.json", "{"), "application/json");
  EXPECT_EQ(contentTypeFor("ak47.jpg", ""), "image/jpeg");
  EXPECT_EQ(contentTypeFor("AK47.JPG", ""), "image/jpeg");
  EXPECT_EQ(contentTypeFor("ak47.svg", ""), "image/svg+xml");
  EXPECT_EQ(contentTypeFor("site.css", ""), "text/css; charset=utf-8");
  EXPECT_EQ(contentTypeFor("index.cache", ""), "application/octet-stream");
  EXPECT_EQ(contentTypeFor("L1208003.log", ""), "application/octet-stream");
  EXPECT_EQ(contentTypeFor("README", ""), "application/octet-stream");
}

TEST(HttpDateTest, WritesAndReadsTheOneFormHttpSends) {
  EXPECT_EQ(httpDate(784111777), "Sun, 06 Nov 1994 08:49:37 GMT");
  EXPECT_EQ(httpDate(0), "Thu, 01 Jan 1970 00:00:00 GMT");
  EXPECT_EQ(httpDate(1798761599), "Thu, 31 Dec 2026 23:59:59 GMT");
  EXPECT_EQ(parseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), 784111777);
  EXPECT_EQ(parseHttpDate("Thu, 29 Feb 2024 12:00:00 GMT"), 1709208000);
  for (const char* other : {"", "Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37 1994",
                            "Sun, 06 Nov 1994 08:49:37 UTC", "Sun, 31 Feb 1994 08:49:37 GMT",
                            "Sun, 06 Nov 1994 24:49:37 GMT", "Sun, 06 Xyz 1994 08:49:37 GMT",
                            "Sun, 0x Nov 1994 08:49:37 GMT"}) {
    EXPECT_FALSE(parseHttpDate(other).has_value()) << other;
  }
}

}  // namespace
}  // namespace fragtally::serve
