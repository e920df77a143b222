#include "live/datagram.h"

#include "live/log_markers.h"

namespace fragtally::live {
namespace {

constexpr std::string_view kHeader("\xFF\xFF\xFF\xFF", 4);

ParsedDatagram drop(DropReason reason) { return {{}, reason}; }

}  // namespace

ParsedDatagram parseDatagram(std::string_view datagram, const std::optional<std::string>& secret) {
  if (datagram.size() > kMaxDatagramBytes) return drop(DropReason::oversized);
  if (!datagram.starts_with(kHeader)) return drop(DropReason::badHeader);
  std::string_view rest = datagram.substr(kHeader.size());
  if (!rest.empty() && rest.back() == '\0') rest.remove_suffix(1);

  if (rest.starts_with("log ")) {
    // A secret the admin asked for that the datagram lacks: not this server's stream.
    if (secret) return drop(DropReason::wrongSecret);
    rest.remove_prefix(4);
  } else if (rest.starts_with('S')) {
    // The line follows the secret directly; only the secret we know tells
    // where it ends, and the line must begin right behind it.
    rest.remove_prefix(1);
    if (!secret || secret->empty() || !rest.starts_with(*secret)) return drop(DropReason::wrongSecret);
    rest.remove_prefix(secret->size());
    if (!rest.starts_with("L ")) return drop(DropReason::wrongSecret);
  } else {
    return drop(DropReason::badHeader);
  }
  if (rest.empty() || rest.find('\0') != std::string_view::npos) return drop(DropReason::badHeader);
  // Dropped rather than mended: the raw log keeps the server's bytes as they
  // came, and a line the report cannot read carries nothing it counts. A
  // line without a stamp fails the reading of the whole log; a CR or LF
  // inside one splits it there, and its second part has no stamp.
  if (!hasTimeStamp(rest)) return drop(DropReason::noTimeStamp);
  if (breaksInside(rest)) return drop(DropReason::lineBreakInside);
  return {rest, std::nullopt};
}

}  // namespace fragtally::live
