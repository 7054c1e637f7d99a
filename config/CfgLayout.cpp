#include "config/CfgLayout.h"

#include <cstring>

void BuildEmptyCfgImage(unsigned char* image) {
  std::memset(image, 0, kCfgEmptySize);
  CfgHeader header{};
  header.version = 0;
  header.count = 0;
  header.totalSize = kCfgEmptySize;
  header.capacity = kCfgCapacity;
  header.nextOffset = kCfgEmptySize;
  std::memcpy(header.magic, kCfgMagic, sizeof kCfgMagic);
  std::memcpy(image, &header, sizeof header);
}

bool HasCfgMagic(const CfgHeader& header) {
  return std::memcmp(header.magic, kCfgMagic, sizeof kCfgMagic) == 0;
}

bool IsCfgImageSound(const unsigned char* image, std::uint64_t fileSize) {
  CfgHeader header;
  std::memcpy(&header, image, sizeof header);
  if (header.totalSize < kCfgEmptySize || header.totalSize > fileSize) return false;
  // Sizes are reported as 32-bit signed counts.
  if (header.totalSize > 0x7FFFFFFFu) return false;
  if (header.capacity < 0 || header.capacity > kCfgCapacity) return false;
  if (header.count < 0 || header.count > header.capacity) return false;
  if (header.nextOffset < kCfgEmptySize || header.nextOffset > header.totalSize) return false;
  for (std::int32_t i = 0; i < header.count; ++i) {
    CfgEntry entry;
    std::memcpy(&entry, image + kCfgTableOffset + i * sizeof(CfgEntry), sizeof entry);
    const std::uint64_t end = std::uint64_t{entry.offset} + entry.size;
    if (entry.offset < kCfgEmptySize || end > header.totalSize) return false;
  }
  return true;
}
