#pragma once
#include <cstdint>

// Which way a page converts; also the position of its configuration text.
using ConvDirection = std::int32_t;
constexpr ConvDirection Sim2Tra = 0;  // Simplified to Traditional
constexpr ConvDirection Tra2Sim = 1;  // Traditional to Simplified
