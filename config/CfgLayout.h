#pragma once
// The settings file's layout. Other copies of the program read and write
// the same file, so every field stays where it is. All integers are
// little-endian.
#include <cstddef>
#include <cstdint>

// Bytes 0-27.
struct CfgHeader {
  std::uint32_t version;     // 0x00020001: major 2 (high 16 bits), minor 1
  std::int32_t count;        // entries in use
  std::uint32_t totalSize;   // meaningful bytes: header, whole table, values
  std::int32_t capacity;     // entry slots: 100
  std::uint32_t nextOffset;  // where the next new value goes
  char magic[8];             // "vekcfg" and two zero bytes
};

// One slot of the table at bytes 28-1227.
struct CfgEntry {
  std::int32_t key;
  std::uint32_t offset;  // from the start of the file
  std::uint32_t size;    // bytes
};

static_assert(sizeof(CfgHeader) == 28 && offsetof(CfgHeader, magic) == 20);
static_assert(sizeof(CfgEntry) == 12);

constexpr std::uint32_t kCfgVersion = 0x00020001;
constexpr std::uint32_t kCfgMajorVersion = 2;
constexpr std::int32_t kCfgCapacity = 100;
constexpr std::uint32_t kCfgTableOffset = sizeof(CfgHeader);  // 28
constexpr std::uint32_t kCfgEmptySize = kCfgTableOffset + kCfgCapacity * sizeof(CfgEntry);
static_assert(kCfgEmptySize == 1228);
// A file of this many bytes or fewer holds no store.
constexpr std::uint32_t kCfgMinFileSize = 40;
// A store larger than this counts as damaged: three settings never need it,
// and every read loads the whole image.
constexpr std::uint32_t kCfgMaxImageSize = 1048576;
constexpr char kCfgMagic[] = "vekcfg";

// Writes the empty store (version 0) into `image`, kCfgEmptySize bytes.
void BuildEmptyCfgImage(unsigned char* image);

// True when the first bytes carry the magic: "vekcfg" and a zero byte,
// whatever the eighth byte holds.
bool HasCfgMagic(const CfgHeader& header);

// True when a loaded image can be used without reading or writing outside
// it: totalSize at least 1228, within the file and below 2 GiB, count within a capacity
// of at most 100, nextOffset within the values, and every entry in use
// pointing inside the values area. `image` holds header.totalSize bytes.
bool IsCfgImageSound(const unsigned char* image, std::uint64_t fileSize);
