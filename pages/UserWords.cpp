#include "pages/UserWords.h"

#include <shellapi.h>

#include "engine/Standards.h"
#include "fw/MessageBox.h"

namespace {

constexpr char kHeaderSim2Tra[] =
    "# Tarnwell 自定义词汇：简体 → 繁体\r\n"
    "# 每行一条：原文、一个制表符（Tab）、译文，例如：\r\n"
    "#   鼠标\t滑鼠\r\n"
    "# 这里的词条优先于所有词典，并且总是整词替换；以 # 开头的行是注释。\r\n"
    "# 保存后，下一次转换即使用新的词条。\r\n";
constexpr char kHeaderTra2Sim[] =
    "# Tarnwell 自定义词汇：繁体 → 简体\r\n"
    "# 每行一条：原文、一个制表符（Tab）、译文，例如：\r\n"
    "#   滑鼠\t鼠标\r\n"
    "# 这里的词条优先于所有词典，并且总是整词替换；以 # 开头的行是注释。\r\n"
    "# 保存后，下一次转换即使用新的词条。\r\n";

}  // namespace

std::wstring WordListPath(const CfgStore& store, ConvDirection direction) {
  if (direction != Sim2Tra && direction != Tra2Sim) return {};
  std::wstring path = store.Path();
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  path.resize(slash + 1);
  path += direction == Sim2Tra ? L"Words-Sim2Tra.txt" : L"Words-Tra2Sim.txt";
  return path;
}

std::wstring StandardCaption(std::int32_t standard) {
  return std::wstring(L"繁体标准：") + StandardLabel(standard);
}

std::int32_t StoredStandard(const CfgReader& store) {
  std::int32_t standard = kStandardGeneric;
  if (store.ReadValue(CFGKEY_STANDARD, &standard, sizeof(standard)) != sizeof(standard)) {
    standard = kStandardGeneric;
  }
  return ValidStandard(standard);
}

ConvOptions CurrentConvOptions(const CfgStore& store, ConvDirection direction) {
  ConvOptions options;
  options.standard = StoredStandard(store);
  options.wordList = WordListPath(store, direction);
  return options;
}

bool EnsureWordList(const std::wstring& path, ConvDirection direction) {
  if (path.empty()) return false;
  // CREATE_NEW: a list the user already has is never touched.
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_FILE_EXISTS && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  const char* header = direction == Sim2Tra ? kHeaderSim2Tra : kHeaderTra2Sim;
  const DWORD size = static_cast<DWORD>(strlen(header));
  DWORD written = 0;
  const bool ok = WriteFile(file, header, size, &written, nullptr) && written == size;
  CloseHandle(file);
  if (!ok) DeleteFileW(path.c_str());
  return ok;
}

bool EditWordList(HWND owner, const CfgStore& store, ConvDirection direction) {
  const std::wstring path = WordListPath(store, direction);
  if (!EnsureWordList(path, direction)) {
    fw::AppMessageBox(owner, L"无法创建自定义词汇文件：\n" + path, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  const INT_PTR started =
      reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (started > 32) return true;
  fw::AppMessageBox(owner, L"无法打开自定义词汇文件：\n" + path + L"\n请用文本编辑器手动打开它。",
                    MB_OK | MB_ICONEXCLAMATION);
  return false;
}
