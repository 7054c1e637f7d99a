// A line converter over OpenCC's library, for OpenCC's own dictionary
// scripts at build time: the options they pass to OpenCC's command.
//   opencc_lines -c CONFIG.json --path DICTIONARY_FOLDER [--include-tofu-risk-dictionaries]
// Reads lines on standard input and writes each converted on standard output.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "Config.hpp"
#include "Converter.hpp"
#include "Exception.hpp"

int main(int argc, char** argv) {
  std::string config, folder;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-c") == 0 && i + 1 < argc) {
      config = argv[++i];
    } else if (std::strcmp(argv[i], "--path") == 0 && i + 1 < argc) {
      folder = argv[++i];
    } else if (std::strcmp(argv[i], "--include-tofu-risk-dictionaries") != 0) {
      std::fprintf(stderr, "opencc_lines: unknown argument %s\n", argv[i]);
      return 2;
    }
  }
  if (config.empty() || folder.empty()) {
    std::fprintf(stderr, "usage: opencc_lines -c CONFIG --path FOLDER\n");
    return 2;
  }
  std::ifstream in(config, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "opencc_lines: cannot read %s\n", config.c_str());
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  try {
    opencc::Config loader;
    opencc::ConverterPtr converter = loader.NewFromString(text.str(), folder);
    std::string line;
    while (std::getline(std::cin, line)) std::cout << converter->Convert(line) << '\n';
  } catch (const opencc::Exception& e) {
    std::fprintf(stderr, "opencc_lines: %s\n", e.what());
    return 1;
  }
  return std::cout.good() ? 0 : 1;
}
