#include "players/daily_rating.h"

#include <algorithm>

namespace fragtally {

DailyRating::DailyRating(std::size_t people, double tau)
    : people_(people), tau_(tau), games_(people), before_(people) {}

void DailyRating::bringTo(std::uint32_t person, std::int64_t day) {
  State& state = people_[person];
  if (day > state.ratedThrough) {
    state.rating = idlePeriods(state.rating, day - state.ratedThrough);
    state.ratedThrough = day;
  }
}

void DailyRating::rateDay(std::int64_t day, std::span<const std::uint32_t> played, std::span<const DayWin> wins) {
  lastDay_ = day;
  for (const std::uint32_t person : played) {
    State& state = people_[person];
    if (!state.seen) {
      state.seen = true;
      state.ratedThrough = day - 1;
    }
  }
  // Everyone with a game, as he stood before the day, in the order of numbers.
  rated_.clear();
  for (const DayWin& win : wins) {
    rated_.push_back(win.winner);
    rated_.push_back(win.loser);
  }
  std::sort(rated_.begin(), rated_.end());
  rated_.erase(std::unique(rated_.begin(), rated_.end()), rated_.end());
  for (const std::uint32_t person : rated_) {
    bringTo(person, day - 1);
    before_[person] = people_[person].rating;
  }
  for (const DayWin& win : wins) {
    games_[win.winner].push_back(Glicko2Game{before_[win.loser], 1.0, win.count});
    games_[win.loser].push_back(Glicko2Game{before_[win.winner], 0.0, win.count});
  }
  for (const std::uint32_t person : rated_) {
    State& state = people_[person];
    state.rating = ratePeriod(before_[person], games_[person], tau_);
    state.ratedThrough = day;
    for (const Glicko2Game& game : games_[person]) state.games += game.count;
    games_[person].clear();
  }
  // His rating at the day's end; the lazy state stays as it was, so the
  // periods without games are applied at once as before.
  for (const std::uint32_t person : played) {
    State& state = people_[person];
    if (!state.course.empty() && state.course.back().day == day) continue;
    const Glicko2Rating now = day > state.ratedThrough ? idlePeriods(state.rating, day - state.ratedThrough)
                                                       : state.rating;
    state.course.push_back(RatingPoint{day, now});
  }
}

std::vector<PersonRating> DailyRating::finish() {
  std::vector<PersonRating> result(people_.size());
  for (std::uint32_t person = 0; person < people_.size(); ++person) {
    State& state = people_[person];
    if (state.seen) bringTo(person, lastDay_);
    result[person] = PersonRating{state.rating, state.games, std::move(state.course)};
  }
  people_.clear();
  return result;
}

}  // namespace fragtally
