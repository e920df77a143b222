#pragma once

#include <cstddef>
#include <string>

#include "index/index_page.h"

namespace fragtally {

/// Places of the ranking a site's index shows; the whole of it is on its own pages.
inline constexpr std::size_t kIndexTopRanked = 100;
/// People on one page of the whole ranking: about 300 KB of rows.
inline constexpr std::size_t kRankingPageRows = 500;

/// The whole ranking's pages: the ranked in order, then the active unranked,
/// then the inactive, `perPage` people to a page; at least one page.
class RankingPages {
 public:
  explicit RankingPages(const IndexRanking& whole, std::size_t perPage = kRankingPageRows);

  [[nodiscard]] std::size_t count() const { return count_; }
  /// The page (from 1) on which those listed apart start, unranked or inactive.
  [[nodiscard]] std::size_t unrankedPage() const { return pageOf(whole_.ranked.size()); }
  [[nodiscard]] std::size_t inactivePage() const { return pageOf(whole_.ranked.size() + whole_.unranked.size()); }
  /// The bytes of page `part` (from 1): its people under their parts'
  /// headings, with links to every page and to the previous and next.
  [[nodiscard]] std::string build(std::size_t part) const;

 private:
  [[nodiscard]] std::size_t pageOf(std::size_t row) const { return row / perPage_ + 1; }

  const IndexRanking& whole_;
  std::size_t perPage_;
  std::size_t count_;
};

/// What the index shows of `whole`: its top kIndexTopRanked places, the
/// others counted, linked to `pages`; the months' pages of older matches.
IndexRanking indexRankingOf(const IndexRanking& whole, const RankingPages& pages, std::vector<IndexMonth> months);

}  // namespace fragtally
