#pragma once

#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace fragtally::testing {

/// What a form of the command line gave: its exit status (nothing when the
/// form was not its own) and what it wrote on standard error.
struct FormOutcome {
  std::optional<int> status;
  std::string err;
};

/// Runs one form's entry point, `run(args, out, err)`, with string streams.
template <typename Run>
FormOutcome runForm(Run run, const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const std::optional<int> status = run(args, out, err);
  return {status, err.str()};
}

}  // namespace fragtally::testing
