#include "cli/CliOptions.h"

#include <cstring>
#include <cwchar>
#include <cwctype>

#include "textio/Charsets.h"

#ifndef TARNWELL_VERSION
#define TARNWELL_VERSION "0"
#endif

namespace {

// The conversions -c/--config offers, by name.
struct ConfigName {
  const wchar_t* name;
  ConvDirection direction;
};
constexpr ConfigName kConfigs[] = {
    {L"s2t", Sim2Tra},
    {L"t2s", Tra2Sim},
};

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

std::wstring ConfigNames() {
  std::wstring text;
  for (const ConfigName& c : kConfigs) {
    if (!text.empty()) text += L", ";
    text += c.name;
  }
  return text;
}

bool ParseConfig(const std::wstring& value, CliOptions& options, std::wstring& error) {
  for (const ConfigName& c : kConfigs) {
    if (SameText(value, c.name)) {
      options.configName = c.name;
      options.direction = c.direction;
      return true;
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
  bool sawOverwrite = false;
  bool sawAppend = false;
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
    } else if (name == L"--overwrite") {
      if (!flag()) return false;
      sawOverwrite = true;
      options.existing = ExistingOutput::Overwrite;
    } else if (name == L"--append") {
      if (!flag()) return false;
      sawAppend = true;
      options.existing = ExistingOutput::Append;
    } else if (name == L"-q" || name == L"--quiet") {
      if (!flag()) return false;
      options.quiet = true;
    } else {
      error = L"未知的选项 / unknown option: " + arg;
      return false;
    }
  }
  if (sawOverwrite && sawAppend) {
    error = L"--overwrite 与 --append 不能同时使用 / --overwrite and --append exclude each other";
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
         L"  -c, --config NAME     转换方式 / conversion: " +
         ConfigNames() +
         L" (默认/default s2t)\n"
         L"  -e, --encoding ENC    输入编码 / input encoding: auto (默认, 自动检测 / default,\n"
         L"                        detected), ansi, utf8, utf16le, utf16be, 或代码页编号 /\n"
         L"                        or a code page number (936, 950, ...)\n"
         L"      --to ENC          输出编码 / output encoding: utf8 (默认/default), utf8-bom,\n"
         L"                        utf16le (带 BOM / with a mark), gb18030, big5, same (与源\n"
         L"                        文件相同 / as the source); 无法表示的字符使该文件失败 /\n"
         L"                        a character it cannot hold fails that file\n"
         L"  -o PATH               输出文件夹 (默认为当前文件夹), 只有一个输入文件时也可为文件\n"
         L"                        output folder (default: the current folder), or a file\n"
         L"                        for a single input file\n"
         L"  -r, --recursive       包括子文件夹中的文件 / include sub-folders' files\n"
         L"      --overwrite       替换已有的输出文件 / replace output files that exist\n"
         L"      --append          追加到已有的输出文件 / append to output files that exist\n"
         L"  -q, --quiet           不显示进度 / no progress line\n"
         L"  -h, --help, /?        显示此帮助 / show this help\n"
         L"      --version         显示版本 / show the version\n"
         L"\n"
         L"文件夹转换其中的文本与字幕文件 (.txt .srt .ass .ssa .vtt .lrc .md .csv .html .xml\n"
         L".json .ini 等)。输出文件已存在时，除非给出 --overwrite 或 --append，该文件不转换。\n"
         L"A folder converts the text and subtitle files in it (.txt .srt .ass .ssa .vtt\n"
         L".lrc .md .csv .html .xml .json .ini ...). An output file that exists is left\n"
         L"alone (and that file fails) unless --overwrite or --append is given.\n"
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
