// The three exported functions. Exceptions leave them only as
// std::runtime_error with a UTF-8 message, as callers expect.
#include <stdexcept>
#include <string>
#include <string_view>

#include "Converter.hpp"
#include "Exception.hpp"
#include "glyphmap/ConfigText.h"
#include "glyphmap/ConverterCache.h"
#include "glyphmap/HandleTable.h"
#include "glyphmap/ModuleFolder.h"
#include "glyphmap/glyphmap.h"

namespace {

// The library's process-wide state: built converters and open instances.
struct Library {
  glyphmap::ConverterCache converters;
  glyphmap::HandleTable handles;
};

Library& TheLibrary() {
  static Library library;
  return library;
}

}  // namespace

extern "C" int opencc_open_t2s(const char* config, const char* /*libraryName*/) {
  if (config == nullptr || *config == '\0') return -1;
  try {
    glyphmap::PreparedConfig prepared = glyphmap::PrepareConfig(config);
    Library& lib = TheLibrary();
    glyphmap::ConverterPtr converter = lib.converters.Get(prepared, glyphmap::OwnFolderUtf8());
    return lib.handles.Add(std::move(converter));
  } catch (const std::runtime_error&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("内存不足 / Out of memory while loading the dictionaries");
  } catch (const opencc::Exception& e) {
    throw std::runtime_error(e.what());
  } catch (const std::exception& e) {
    throw std::runtime_error(e.what());
  }
}

extern "C" int opencc_convert_utf8_to_buffer(int handle, const char* input, size_t length,
                                             char* output) {
  const glyphmap::CompiledConversion* converter = TheLibrary().handles.Find(handle);
  if (!converter || output == nullptr) {
    if (output != nullptr) *output = '\0';
    return 0;
  }
  if (input == nullptr) length = 0;
  if (length > 0x3FFFFFFF) {  // the count would not fit the result
    *output = '\0';
    throw std::runtime_error("文本过长 / The text is too long to convert in one call");
  }
  try {
    size_t n = converter->Convert(std::string_view(input, length), output);
    output[n] = '\0';
    return static_cast<int>(n);
  } catch (const std::runtime_error&) {
    *output = '\0';
    throw;
  } catch (const std::bad_alloc&) {
    *output = '\0';
    throw std::runtime_error("内存不足 / Out of memory while converting");
  } catch (const opencc::Exception& e) {
    *output = '\0';
    throw std::runtime_error(e.what());
  } catch (const std::exception& e) {
    *output = '\0';
    throw std::runtime_error(e.what());
  }
}

extern "C" size_t glyphmap_safe_cut(int handle, const char* text, size_t length) {
  const glyphmap::CompiledConversion* converter = TheLibrary().handles.Find(handle);
  if (!converter || text == nullptr) return 0;
  return converter->SafeCut(std::string_view(text, length));
}

extern "C" void opencc_close(int handle) {
  TheLibrary().handles.Remove(handle);
}
