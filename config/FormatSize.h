#pragma once
#include <cstdint>

// Writes a file size as text, "%.2f" and the unit with no space between:
// "1024.00Bytes", "1.50KB", "1024.00MB", "5.00GB". A unit is used only when
// the size is strictly greater than one of it. `destination` holds 260
// UTF-16 units. Always returns 1.
std::int32_t FormatSize(wchar_t* destination, std::uint32_t sizeLow, std::uint32_t sizeHigh);
