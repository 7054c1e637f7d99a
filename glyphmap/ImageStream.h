#pragma once
// The byte form of a compiled conversion (ConversionImage.h): plain values
// and arrays of them, back to back, in the machine's own byte order.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace glyphmap {

// Thrown for an image that ends early or holds what no build writes.
class ImageDamaged : public std::runtime_error {
 public:
  ImageDamaged() : std::runtime_error("conversion image damaged") {}
};

class ImageWriter {
 public:
  template <typename T>
  void Put(T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    bytes_.append(reinterpret_cast<const char*>(&value), sizeof value);
  }
  void PutSize(size_t n) { Put<uint64_t>(n); }
  void PutString(std::string_view s) {
    PutSize(s.size());
    bytes_.append(s);
  }
  template <typename T>
  void PutArray(const T* items, size_t n) {
    static_assert(std::is_trivially_copyable_v<T>);
    PutSize(n);
    bytes_.append(reinterpret_cast<const char*>(items), n * sizeof(T));
  }
  template <typename T>
  void PutVector(const std::vector<T>& items) { PutArray(items.data(), items.size()); }
  // The same as PutVector for a vector of mostly zeros (tables by code
  // point): only the others are written, with their places.
  template <typename T>
  void PutSparse(const std::vector<T>& items) {
    static_assert(std::is_trivially_copyable_v<T>);
    std::vector<uint32_t> at;
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i] != T{}) at.push_back(static_cast<uint32_t>(i));
    }
    PutSize(items.size());
    PutVector(at);
    for (uint32_t i : at) Put(items[i]);
  }
  void PutBools(const bool* flags, size_t n) {
    for (size_t i = 0; i < n; ++i) Put<uint8_t>(flags[i] ? 1 : 0);
  }
  std::string& Bytes() { return bytes_; }

 private:
  std::string bytes_;
};

class ImageReader {
 public:
  explicit ImageReader(std::string_view bytes) : at_(bytes.data()), end_(bytes.data() + bytes.size()) {}
  template <typename T>
  T Get() {
    static_assert(std::is_trivially_copyable_v<T>);
    T value;
    std::memcpy(&value, Take(sizeof value), sizeof value);
    return value;
  }
  bool GetBool() {
    const auto b = Get<uint8_t>();
    if (b > 1) throw ImageDamaged();
    return b != 0;
  }
  size_t GetSize() {
    const auto n = Get<uint64_t>();
    if (n > static_cast<uint64_t>(end_ - at_)) throw ImageDamaged();  // no count exceeds the bytes left
    return static_cast<size_t>(n);
  }
  std::string GetString() {
    const size_t n = GetSize();
    return std::string(Take(n), n);
  }
  template <typename T>
  std::vector<T> GetVector() {
    static_assert(std::is_trivially_copyable_v<T>);
    const size_t n = GetSize();
    if (n > static_cast<size_t>(end_ - at_) / sizeof(T)) throw ImageDamaged();
    std::vector<T> items(n);
    if (n) std::memcpy(items.data(), Take(n * sizeof(T)), n * sizeof(T));
    return items;
  }
  template <typename T>
  std::vector<T> GetSparse() {
    const uint64_t n = Get<uint64_t>();
    if (n > (uint64_t{1} << 28)) throw ImageDamaged();  // no table by code point is as long
    std::vector<T> items(static_cast<size_t>(n));
    const std::vector<uint32_t> at = GetVector<uint32_t>();
    for (uint32_t i : at) {
      if (i >= items.size()) throw ImageDamaged();
      items[i] = Get<T>();
    }
    return items;
  }
  void GetBools(bool* flags, size_t n) {
    for (size_t i = 0; i < n; ++i) flags[i] = GetBool();
  }
  // Fails unless every byte was read.
  void ExpectEnd() const {
    if (at_ != end_) throw ImageDamaged();
  }

 private:
  const char* Take(size_t n) {
    if (n > static_cast<size_t>(end_ - at_)) throw ImageDamaged();
    const char* p = at_;
    at_ += n;
    return p;
  }
  const char* at_;
  const char* end_;
};

// Throws ImageDamaged unless `ok`.
inline void ImageCheck(bool ok) {
  if (!ok) throw ImageDamaged();
}

}  // namespace glyphmap
