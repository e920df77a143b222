#pragma once

#include <string>
#include <string_view>

namespace fragtally {

/// The file name of a person's page in DIR/players/, from his key alone: a
/// readable slug of the key (lower-case ASCII letters and digits, runs of
/// anything else one '-', at most 40 bytes, "player" when nothing is left)
/// and the key's 64-bit FNV-1a hash in 16 hex digits, then ".htm". The name
/// holds no separator, dot or case difference of its own, so no key can make
/// it leave the folder, fall on another key's page where letter case is not
/// told apart, or grow beyond any file system's limit.
std::string playerFileName(std::string_view key);

/// Whether `name` has the form playerFileName gives: the only files of
/// DIR/players/ a run removes when their person is gone.
bool isPlayerFileName(std::string_view name);

}  // namespace fragtally
