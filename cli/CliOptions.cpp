#include "cli/CliOptions.h"

#include <cstring>
#include <cwchar>
#include <cwctype>

#include "engine/Standards.h"
#include "textio/Charsets.h"

#ifndef TARNWELL_VERSION
#define TARNWELL_VERSION "0"
#endif

namespace {

// The input encodings -e/--encoding offers by name (besides "auto" and a
// code page number).
struct EncodingName {
  const wchar_t* name;
  FileEncoding encoding;
};
constexpr EncodingName kInputEncodings[] = {
    {L"ansi", EncAnsi},       {L"utf8", EncUtf8},       {L"utf-8", EncUtf8},
    {L"utf16le", EncUtf16},   {L"utf-16le", EncUtf16},  {L"utf16be", EncUtf16Be},
    {L"utf-16be", EncUtf16Be},
};

struct OutputName {
  const wchar_t* name;
  OutputEncoding encoding;
};
constexpr OutputName kOutputEncodings[] = {
    {L"utf8", OutputEncoding::Utf8},         {L"utf-8", OutputEncoding::Utf8},
    {L"utf8-bom", OutputEncoding::Utf8Bom},  {L"utf-8-bom", OutputEncoding::Utf8Bom},
    {L"utf16le", OutputEncoding::Utf16Le},   {L"utf-16le", OutputEncoding::Utf16Le},
    {L"gb18030", OutputEncoding::Gb18030},   {L"big5", OutputEncoding::Big5},
    {L"same", OutputEncoding::SameAsSource},
};

bool SameText(const std::wstring& a, const wchar_t* b) {
  return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

// The conversions -c/--config offers: every direction and standard by its
// configuration's name ("s2twp"), also spelled as its file ("s2twp.json").
std::wstring ConfigNames() {
  std::wstring text;
  for (ConvDirection direction : {Sim2Tra, Tra2Sim}) {
    for (std::int32_t standard = 0; standard < kStandardCount; ++standard) {
      if (!text.empty()) text += L" ";
      const char* name = StandardConfigName(direction, standard);
      text += std::wstring(name, name + std::strlen(name));
    }
  }
  return text;
}

bool ParseConfig(const std::wstring& value, CliOptions& options, std::wstring& error) {
  std::wstring name = value;
  if (name.size() > 5 && SameText(name.substr(name.size() - 5), L".json")) {
    name.resize(name.size() - 5);
  }
  for (ConvDirection direction : {Sim2Tra, Tra2Sim}) {
    for (std::int32_t standard = 0; standard < kStandardCount; ++standard) {
      const char* config = StandardConfigName(direction, standard);
      const std::wstring known(config, config + std::strlen(config));
      if (SameText(name, known.c_str())) {
        options.configName = known;
        options.direction = direction;
        options.standard = standard;
        return true;
      }
    }
  }
  error = L"未知的转换方式 / unknown conversion: " + value + L" (" + ConfigNames() + L")";
  return false;
}

// A code page number the system can decode, mapped onto the readers: the
// Unicode code pages pick their own readers.
bool ParseCodePage(const std::wstring& value, InputEncoding& input) {
  if (value.empty() || value.size() > 5) return false;
  for (wchar_t c : value) {
    if (!std::iswdigit(c)) return false;
  }
  const UINT cp = static_cast<UINT>(std::wcstoul(value.c_str(), nullptr, 10));
  switch (cp) {
    case CP_UTF8: input.encoding = EncUtf8; input.codePage = 0; return true;
    case 1200: input.encoding = EncUtf16; input.codePage = 0; return true;
    case 1201: input.encoding = EncUtf16Be; input.codePage = 0; return true;
    case kCodePageUtf32Le:
    case kCodePageUtf32Be: input.encoding = EncAnsi; input.codePage = cp; return true;
    default: break;
  }
  if (cp == 0 || cp == CP_UTF7 || !IsValidCodePage(cp)) return false;
  input.encoding = EncAnsi;
  input.codePage = cp;
  return true;
}

bool ParseInputEncoding(const std::wstring& value, CliOptions& options, std::wstring& error) {
  InputEncoding input;
  if (SameText(value, L"auto")) {
    options.input = input;
    return true;
  }
  input.detect = false;
  for (const EncodingName& e : kInputEncodings) {
    if (SameText(value, e.name)) {
      input.encoding = e.encoding;
      options.input = input;
      return true;
    }
  }
  if (ParseCodePage(value, input)) {
    options.input = input;
    return true;
  }
  error = L"未知的输入编码 / unknown input encoding: " + value +
          L" (auto, ansi, utf8, utf16le, utf16be, 或代码页编号 / or a code page number)";
  return false;
}

bool ParseOutputEncoding(const std::wstring& value, CliOptions& options, std::wstring& error) {
  for (const OutputName& o : kOutputEncodings) {
    if (SameText(value, o.name)) {
      options.output = o.encoding;
      return true;
    }
  }
  error = L"不支持的输出编码 / unsupported output encoding: " + value + L" (utf8)";
  return false;
}

}  // namespace

bool ParseCliOptions(const std::vector<std::wstring>& args, CliOptions& options,
                     std::wstring& error) {
  int existingRules = 0;
  bool optionsEnd = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    if (optionsEnd || arg.size() < 2 || arg[0] != L'-') {
      if (arg == L"/?") {
        options.help = true;
        continue;
      }
      if (arg.empty()) {
        error = L"空的文件名 / empty file name";
        return false;
      }
      options.inputs.push_back(arg);
      continue;
    }
    if (arg == L"--") {
      optionsEnd = true;
      continue;
    }
    // --name=value as well as --name value.
    std::wstring name = arg;
    std::wstring inlineValue;
    bool hasInline = false;
    if (arg.rfind(L"--", 0) == 0) {
      const size_t eq = arg.find(L'=');
      if (eq != std::wstring::npos) {
        name = arg.substr(0, eq);
        inlineValue = arg.substr(eq + 1);
        hasInline = true;
      }
    }
    auto value = [&](std::wstring& out) {
      if (hasInline) {
        out = inlineValue;
        return true;
      }
      if (i + 1 >= args.size()) {
        error = L"选项缺少值 / option needs a value: " + name;
        return false;
      }
      out = args[++i];
      return true;
    };
    auto flag = [&]() {
      if (!hasInline) return true;
      error = L"此选项不带值 / option takes no value: " + name;
      return false;
    };
    std::wstring v;
    if (name == L"-h" || name == L"--help") {
      if (!flag()) return false;
      options.help = true;
    } else if (name == L"--version") {
      if (!flag()) return false;
      options.version = true;
    } else if (name == L"-c" || name == L"--config") {
      if (!value(v) || !ParseConfig(v, options, error)) return false;
    } else if (name == L"-e" || name == L"--encoding") {
      if (!value(v) || !ParseInputEncoding(v, options, error)) return false;
    } else if (name == L"--to") {
      if (!value(v) || !ParseOutputEncoding(v, options, error)) return false;
    } else if (name == L"-o" || name == L"--output") {
      if (!value(v)) return false;
      if (v.empty()) {
        error = L"-o 需要文件夹或文件 / -o needs a folder or a file";
        return false;
      }
      options.outputPath = v;
    } else if (name == L"-r" || name == L"--recursive") {
      if (!flag()) return false;
      options.recurse = true;
    } else if (name == L"-i" || name == L"--input") {
      if (!value(v)) return false;
      if (v.empty()) {
        error = L"空的文件名 / empty file name";
        return false;
      }
      options.inputs.push_back(v);
    } else if (name == L"--words") {
      if (!value(v)) return false;
      if (v.empty()) {
        error = L"--words 需要词汇表文件 / --words needs a word list file";
        return false;
      }
      options.wordList = v;
    } else if (name == L"--beside") {
      if (!flag()) return false;
      options.besideSource = true;
    } else if (name == L"--convert-names") {
      if (!flag()) return false;
      options.convertNames = true;
    } else if (name == L"--overwrite" || name == L"--append" || name == L"--keep-both") {
      if (!flag()) return false;
      ++existingRules;
      options.existing = name == L"--overwrite" ? ExistingOutput::Overwrite
                         : name == L"--append"  ? ExistingOutput::Append
                                                : ExistingOutput::KeepBoth;
    } else if (name == L"-q" || name == L"--quiet") {
      if (!flag()) return false;
      options.quiet = true;
    } else {
      error = L"未知的选项 / unknown option: " + arg;
      return false;
    }
  }
  if (existingRules > 1) {
    error = L"--overwrite、--append 与 --keep-both 只能选一个 / --overwrite, --append and "
            L"--keep-both exclude each other";
    return false;
  }
  if (options.besideSource && !options.outputPath.empty()) {
    error = L"--beside 与 -o 不能同时使用 / --beside and -o exclude each other";
    return false;
  }
  return true;
}

std::wstring CliHelpText() {
  return L"用法 / Usage: tarnwell-cli [选项/options] [文件或文件夹/FILE|FOLDER ...]\n"
         L"\n"
         L"在简体与繁体中文之间转换文本文件。不给文件时，从标准输入读取，写到标准输出。\n"
         L"Converts text files between Simplified and Traditional Chinese. With no file,\n"
         L"reads standard input and writes standard output.\n"
         L"\n"
         L"  -c, --config NAME     转换方式 / conversion (默认/default s2t; 也可写作 / also\n"
         L"                        spelled s2twp.json):\n"
         L"                        s2t 通用繁体, s2tw 台湾正体, s2twp 台湾正体·常用词汇,\n"
         L"                        s2hk 香港繁体, s2hkp 香港繁体·常用词汇 (简→繁 / to Traditional);\n"
         L"                        t2s, tw2s, tw2sp, hk2s, hk2sp (繁→简 / to Simplified)\n"
         L"                          tarnwell-cli -c s2twp 说明.txt -o 台湾\n"
         L"  -i, --input FILE      输入文件 (与直接写文件名相同) / an input file (as a bare name)\n"
         L"                          tarnwell-cli -c t2s -i 說明.txt -o 说明.txt\n"
         L"      --words FILE      自定义词汇表 (UTF-8, 每行: 原文<Tab>结果) / a word list\n"
         L"                        (UTF-8, one \"source<Tab>result\" a line)\n"
         L"                          tarnwell-cli --words 词汇.txt 说明.txt -o 繁体\n"
         L"  -e, --encoding ENC    输入编码 / input encoding: auto (默认, 自动检测 / default,\n"
         L"                        detected), ansi, utf8, utf16le, utf16be, 或代码页编号 /\n"
         L"                        or a code page number (936, 950, ...)\n"
         L"                          tarnwell-cli -c t2s -e 950 旧文件.txt -o 简体\n"
         L"      --to ENC          输出编码 / output encoding: utf8 (默认/default), utf8-bom,\n"
         L"                        utf16le (带 BOM / with a mark), gb18030, big5, same (与源\n"
         L"                        文件相同 / as the source); 无法表示的字符使该文件失败 /\n"
         L"                        a character it cannot hold fails that file\n"
         L"                          tarnwell-cli --to big5 说明.txt -o 繁体\n"
         L"  -o PATH               输出文件夹 (默认为当前文件夹), 只有一个输入文件时也可为文件\n"
         L"                        output folder (default: the current folder), or a file\n"
         L"                        for a single input file\n"
         L"                          tarnwell-cli 说明.txt -o 說明.txt\n"
         L"      --beside          输出放在源文件旁, 名称加后缀 / each output beside its source,\n"
         L"                        named with a suffix: 字幕.srt -> 字幕(繁體).srt\n"
         L"                          tarnwell-cli --beside -r 字幕\n"
         L"      --convert-names   同时转换文件名 / convert the output's name too\n"
         L"                          tarnwell-cli --convert-names 简体说明.txt -o 繁体\n"
         L"  -r, --recursive       包括子文件夹中的文件 / include sub-folders' files\n"
         L"                          tarnwell-cli -r 字幕 -o 繁体字幕\n"
         L"      --overwrite       替换已有的输出文件 / replace output files that exist\n"
         L"      --append          追加到已有的输出文件 (按其原有编码) / append to output files\n"
         L"                        that exist (in the encoding they have)\n"
         L"      --keep-both       保留已有的输出, 新输出另加编号 / keep the output there and\n"
         L"                        write the new one as \"name (2).ext\"\n"
         L"                          tarnwell-cli --keep-both 说明.txt -o 繁体\n"
         L"  -q, --quiet           不显示进度 / no progress line\n"
         L"  -h, --help, /?        显示此帮助 / show this help\n"
         L"      --version         显示版本 / show the version\n"
         L"\n"
         L"文件夹转换其中的文本与字幕文件 (.txt .srt .ass .ssa .vtt .lrc .md .csv .html .xml\n"
         L".json .ini 等), 不含本方向的输出 (如 字幕(繁體).srt)。输出文件已存在时, 除非给出\n"
         L"--overwrite、--append 或 --keep-both, 该文件不转换。输出从不覆盖任何输入文件;\n"
         L"本次两个输入的输出同名时, 后者另加编号。\n"
         L"A folder converts the text and subtitle files in it (.txt .srt .ass .ssa .vtt\n"
         L".lrc .md .csv .html .xml .json .ini ...), leaving out this direction's outputs\n"
         L"(such as 字幕(繁體).srt). An output file that exists is left alone (and that file\n"
         L"fails) unless --overwrite, --append or --keep-both is given. No output is ever\n"
         L"an input file; two inputs whose outputs meet get the second a number.\n"
         L"\n"
         L"退出码 / Exit status: 0 全部成功 / all converted, 1 有文件失败 / some failed,\n"
         L"2 用法错误 / usage error.\n"
         L"\n"
         L"示例 / Examples:\n"
         L"  tarnwell-cli -c s2t 说明.txt -o 繁体\\\n"
         L"  tarnwell-cli -c t2s -e 950 -r 字幕 -o 简体字幕\n"
         L"  type 简体.txt | tarnwell-cli -c s2t > 繁體.txt\n";
}

std::wstring CliVersionText() {
  const char* v = TARNWELL_VERSION;
  return L"tarnwell-cli " + std::wstring(v, v + std::strlen(v)) + L"\n";
}
