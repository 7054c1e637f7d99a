// The three exported functions. Exceptions leave them only as
// std::runtime_error with a UTF-8 message, as callers expect.
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "Converter.hpp"
#include "Exception.hpp"
#include "glyphmap/ConfigText.h"
#include "glyphmap/ConverterCache.h"
#include "glyphmap/HandleTable.h"
#include "glyphmap/ModuleFolder.h"
#include "glyphmap/NamedConfigs.h"
#include "glyphmap/glyphmap.h"

namespace {

// The library's process-wide state: built converters and open instances.
struct Library {
  // Shipped conversions are kept compiled in the user's own folder.
  glyphmap::ConverterCache converters{&glyphmap::CompileConfiguration,
                                      glyphmap::ConversionImages(glyphmap::UserImageFolder())};
  glyphmap::HandleTable handles;
};

Library& TheLibrary() {
  static Library library;
  return library;
}

// Runs `body`; whatever it throws leaves as std::runtime_error with a UTF-8
// message.
template <typename Body>
auto WithRuntimeErrors(const char* outOfMemory, Body&& body) -> decltype(body()) {
  try {
    return body();
  } catch (const std::runtime_error&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw std::runtime_error(outOfMemory);
  } catch (const opencc::Exception& e) {  // not a std::exception
    throw std::runtime_error(e.what());
  } catch (const std::exception& e) {
    throw std::runtime_error(e.what());
  }
}

constexpr const char kOutOfMemoryLoading[] = "内存不足 / Out of memory while loading the dictionaries";

}  // namespace

extern "C" int opencc_open_t2s(const char* config, const char* /*libraryName*/) {
  if (config == nullptr || *config == '\0') return -1;
  return WithRuntimeErrors(kOutOfMemoryLoading, [&] {
    glyphmap::PreparedConfig prepared = glyphmap::PrepareConfig(config);
    Library& lib = TheLibrary();
    glyphmap::ConverterPtr converter = lib.converters.Get(prepared, glyphmap::OwnFolderUtf8());
    return lib.handles.Add(std::move(converter));
  });
}

namespace {

// Converts into `output` of `capacity` bytes with `convert` (text, out): straight in when the handle's
// bound fits, else through a buffer of its own, copied when the result
// fits after all.
template <typename Convert>
int ConvertInto(const glyphmap::CompiledConversion& converter, const char* input, size_t length,
                char* output, size_t capacity, Convert&& convert) {
  if (input == nullptr) length = 0;
  if (length > 0x3FFFFFFF) {  // the count would not fit the result
    *output = '\0';
    throw std::runtime_error("文本过长 / The text is too long to convert in one call");
  }
  try {
    return WithRuntimeErrors("内存不足 / Out of memory while converting", [&] {
      std::string_view text(input, length);
      size_t n = 0;
      if (converter.OutputBound(length) <= capacity) {
        n = convert(text, output);
      } else {
        std::string own(converter.OutputBound(length), '\0');
        n = convert(text, own.data());
        if (n + 1 > capacity) {
          throw std::runtime_error(
              "转换结果超出缓冲区 / The converted text does not fit the buffer");
        }
        std::memcpy(output, own.data(), n);
      }
      output[n] = '\0';
      return static_cast<int>(n);
    });
  } catch (...) {
    *output = '\0';  // a failed call leaves an empty text
    throw;
  }
}

// The plain conversion, for ConvertInto.
auto Plain(const glyphmap::CompiledConversion& converter) {
  return [&converter](std::string_view text, char* out) { return converter.Convert(text, out); };
}

}  // namespace

extern "C" int opencc_convert_utf8_to_buffer(int handle, const char* input, size_t length,
                                             char* output) {
  const glyphmap::CompiledConversion* converter = TheLibrary().handles.Find(handle);
  if (!converter || output == nullptr) {
    if (output != nullptr) *output = '\0';
    return 0;
  }
  if (input == nullptr) length = 0;
  return ConvertInto(*converter, input, length, output, GlyphmapOutputBound(length), Plain(*converter));
}

extern "C" int glyphmap_open(const char* name, const char* wordList) {
  if (name == nullptr || !glyphmap::IsConfigName(name)) return -1;
  return WithRuntimeErrors(kOutOfMemoryLoading, [&] {
    Library& lib = TheLibrary();
    const std::string folder = glyphmap::OwnFolderUtf8();
    glyphmap::PreparedConfig prepared =
        glyphmap::PrepareConfig(glyphmap::ConfigTextByName(name, folder));
    prepared.shipped = true;
    glyphmap::ConverterPtr converter = lib.converters.Get(prepared, folder);
    if (wordList != nullptr && *wordList != '\0') {
      converter = lib.converters.WithWordList(std::move(converter), wordList);
    }
    return lib.handles.Add(std::move(converter));
  });
}

extern "C" size_t glyphmap_output_bound(int handle, size_t length) {
  const glyphmap::CompiledConversion* converter = TheLibrary().handles.Find(handle);
  return converter ? converter->OutputBound(length) : 0;
}

extern "C" int glyphmap_convert(int handle, const char* input, size_t length, char* output,
                                size_t capacity) {
  const glyphmap::CompiledConversion* converter = TheLibrary().handles.Find(handle);
  if (output == nullptr || capacity == 0) {
    if (converter) throw std::runtime_error("没有输出缓冲区 / No output buffer");
    return 0;
  }
  if (!converter) {
    *output = '\0';
    return 0;
  }
  return ConvertInto(*converter, input, length, output, capacity, Plain(*converter));
}

extern "C" int glyphmap_convert_places(int handle, const char* input, size_t length, char* output,
                                       size_t capacity, int flags, glyphmap_place_sink sink,
                                       void* context) {
  const glyphmap::CompiledConversion* converter = TheLibrary().handles.Find(handle);
  if (output == nullptr || capacity == 0) {
    if (converter) throw std::runtime_error("没有输出缓冲区 / No output buffer");
    return 0;
  }
  if (!converter) {
    *output = '\0';
    return 0;
  }
  if (input == nullptr) length = 0;
  std::vector<glyphmap::Place> places;
  const bool every = (flags & GLYPHMAP_EVERY_PLACE) != 0;
  const int n = ConvertInto(*converter, input, length, output, capacity,
                            [&](std::string_view text, char* out) {
                              places.clear();
                              return converter->ConvertWithPlaces(text, out, every, places);
                            });
  if (sink == nullptr) return n;
  std::string candidates;
  for (const glyphmap::Place& place : places) {
    candidates.clear();
    for (const auto& candidate : place.candidates) {
      if (!candidates.empty()) candidates += '\n';
      candidates += candidate.text;
      for (const auto& hint : candidate.hints) candidates += '\t' + hint;
    }
    const glyphmap_place record{place.offset,       place.length,       place.sourceOffset,
                                place.sourceLength, place.source.c_str(), candidates.c_str(),
                                place.rank,         place.words};
    sink(context, &record);
  }
  return n;
}

extern "C" size_t glyphmap_word_list_report(int handle, char* buffer, size_t size) {
  const glyphmap::CompiledConversion* converter = TheLibrary().handles.Find(handle);
  const std::string& report = converter ? converter->WordListReport() : std::string();
  if (buffer != nullptr && size > 0) {
    size_t n = report.size() < size ? report.size() : size - 1;
    // Never cut a character in two.
    while (n > 0 && n < report.size() && (static_cast<unsigned char>(report[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, report.data(), n);
    buffer[n] = '\0';
  }
  return report.size();
}

extern "C" size_t glyphmap_safe_cut(int handle, const char* text, size_t length) {
  const glyphmap::CompiledConversion* converter = TheLibrary().handles.Find(handle);
  if (!converter || text == nullptr) return 0;
  return converter->SafeCut(std::string_view(text, length));
}

extern "C" void opencc_close(int handle) {
  TheLibrary().handles.Remove(handle);
}
