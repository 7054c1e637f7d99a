#pragma once
// The benchmark corpus: a UTF-8 file cut into lines (each keeps its '\n'),
// converted one line at a time as the file job does.
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

struct LineCorpus {
  std::string text;
  std::vector<std::string_view> lines;

  bool Load(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    text = ss.str();
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      end = end == std::string::npos ? text.size() : end + 1;
      lines.emplace_back(text.data() + start, end - start);
      start = end;
    }
    return !text.empty();
  }
};
