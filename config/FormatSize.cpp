#include "config/FormatSize.h"

#include <cstdio>

namespace {
constexpr size_t kDestinationUnits = 260;
}

std::int32_t FormatSize(wchar_t* destination, std::uint32_t sizeLow, std::uint32_t sizeHigh) {
  const std::uint64_t size = (static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow;
  double value = static_cast<double>(size);
  const wchar_t* unit = L"Bytes";
  if (sizeHigh != 0 || sizeLow > (1u << 30)) {
    value /= 1073741824.0;
    unit = L"GB";
  } else if (sizeLow > (1u << 20)) {
    value /= 1048576.0;
    unit = L"MB";
  } else if (sizeLow > (1u << 10)) {
    value /= 1024.0;
    unit = L"KB";
  }
  // The figure passes through single precision, as the size column has
  // always shown it.
  value = static_cast<double>(static_cast<float>(value));
  if (destination) {
    _snwprintf(destination, kDestinationUnits - 1, L"%.2f%ls", value, unit);
    destination[kDestinationUnits - 1] = L'\0';
  }
  return 1;
}
