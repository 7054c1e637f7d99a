#pragma once
// Reads a settings file's bytes on its own terms, field by field at the
// documented offsets, so the store's tests do not check the store against
// itself.
#include <cstdint>
#include <cstring>
#include <string>

namespace config_test {

struct CfgFileView {
  std::string bytes;

  std::uint32_t U32(size_t at) const {
    std::uint32_t v = 0;
    if (at + 4 <= bytes.size()) std::memcpy(&v, bytes.data() + at, 4);
    return v;
  }
  std::int32_t I32(size_t at) const { return static_cast<std::int32_t>(U32(at)); }

  std::uint32_t version() const { return U32(0); }
  std::int32_t count() const { return I32(4); }
  std::uint32_t totalSize() const { return U32(8); }
  std::int32_t capacity() const { return I32(12); }
  std::uint32_t nextOffset() const { return U32(16); }
  std::string magic() const { return bytes.size() >= 28 ? bytes.substr(20, 8) : std::string(); }

  struct Entry {
    std::int32_t key;
    std::uint32_t offset;
    std::uint32_t size;
  };
  Entry entry(int i) const {
    const size_t at = 28 + 12 * static_cast<size_t>(i);
    return {I32(at), U32(at + 4), U32(at + 8)};
  }
  // Index of the first entry in use with this key, or -1.
  int Find(std::int32_t key) const {
    for (int i = 0; i < count() && i < 100; ++i) {
      if (entry(i).key == key) return i;
    }
    return -1;
  }
  std::string value(int i) const { return bytes.substr(entry(i).offset, entry(i).size); }

  // Whether the bytes form a store that stays inside itself.
  bool Sound() const {
    if (bytes.size() <= 40 || magic().substr(0, 7) != std::string("vekcfg\0", 7)) return false;
    if (totalSize() < 1228 || totalSize() > bytes.size()) return false;
    if (capacity() < 0 || capacity() > 100 || count() < 0 || count() > capacity()) return false;
    if (nextOffset() < 1228 || nextOffset() > totalSize()) return false;
    for (int i = 0; i < count(); ++i) {
      Entry e = entry(i);
      if (e.offset < 1228 || std::uint64_t{e.offset} + e.size > totalSize()) return false;
    }
    return true;
  }
};

}  // namespace config_test
