#pragma once

#include <cstdint>
#include <string_view>

namespace fragtally {

/// Reads a whole number: leading blanks (0x20), an optional sign, an optional
/// hex prefix ("$", "x", "X", "0x", "0X"), then one or more digits up to the end.
/// Decimal values must fit in 32 signed bits; hex values up to FFFFFFFF are
/// taken as 32-bit two's complement. Throws notAnInteger(text) otherwise.
std::int32_t readInteger(std::string_view text);

}  // namespace fragtally
