#include "app/HandOver.h"

#include <shellapi.h>

#include "pipeline/LongPath.h"

namespace {

bool IsSwitch(const std::wstring& arg, const wchar_t* name) {
  return CompareStringOrdinal(arg.c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

HandOver ParseProgramArgs(const std::vector<std::wstring>& args) {
  HandOver handOver;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    if (i == 0 && IsSwitch(arg, L"/s2t")) {
      handOver.page = HandOverPage::Sim2Tra;
    } else if (i == 0 && IsSwitch(arg, L"/t2s")) {
      handOver.page = HandOverPage::Tra2Sim;
    } else if (!arg.empty()) {
      // Resolved here, in this process's own folder: the running copy's
      // current folder is another, and "C:/x/a.txt" is no name.
      handOver.paths.push_back(FullPath(arg));
    }
  }
  return handOver;
}

std::vector<std::wstring> ProgramArgs() {
  std::vector<std::wstring> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return args;
  for (int i = 1; i < count; ++i) args.emplace_back(argv[i]);
  LocalFree(argv);
  return args;
}

std::vector<wchar_t> PackHandOver(const HandOver& handOver) {
  std::vector<wchar_t> data;
  data.push_back(static_cast<wchar_t>(handOver.page));
  data.push_back(L'\0');
  for (const std::wstring& path : handOver.paths) {
    data.insert(data.end(), path.begin(), path.end());
    data.push_back(L'\0');
  }
  data.push_back(L'\0');
  return data;
}

bool UnpackHandOver(const COPYDATASTRUCT& data, HandOver& out) {
  if (data.dwData != kHandOverTag || data.lpData == nullptr) return false;
  if (data.cbData % sizeof(wchar_t) != 0 || data.cbData > kHandOverMaxBytes) return false;
  const size_t units = data.cbData / sizeof(wchar_t);
  // The page's letter and its NUL, a path of one unit and its NUL, the end.
  if (units < 5) return false;
  const auto* text = static_cast<const wchar_t*>(data.lpData);
  if (text[units - 1] != L'\0' || text[units - 2] != L'\0') return false;
  HandOver read;
  switch (text[0]) {
    case L'0': read.page = HandOverPage::Current; break;
    case L'3': read.page = HandOverPage::Sim2Tra; break;
    case L'4': read.page = HandOverPage::Tra2Sim; break;
    default: return false;
  }
  if (text[1] != L'\0') return false;
  // Paths run up to the empty string, which must be the final NUL.
  size_t at = 2;
  while (at < units - 1) {
    const size_t start = at;
    while (text[at] != L'\0') ++at;
    if (at == start) return false;  // an empty path before the end
    if (read.paths.size() == kHandOverMaxPaths) return false;
    read.paths.emplace_back(text + start, at - start);
    ++at;
  }
  if (read.paths.empty()) return false;
  out = std::move(read);
  return true;
}

bool SendHandOver(HWND running, const HandOver& handOver) {
  const std::vector<wchar_t> data = PackHandOver(handOver);
  if (data.size() * sizeof(wchar_t) > kHandOverMaxBytes) return false;
  COPYDATASTRUCT cds{};
  cds.dwData = kHandOverTag;
  cds.cbData = static_cast<DWORD>(data.size() * sizeof(wchar_t));
  cds.lpData = const_cast<wchar_t*>(data.data());
  // The running program may come to the front.
  DWORD pid = 0;
  GetWindowThreadProcessId(running, &pid);
  if (pid != 0) AllowSetForegroundWindow(pid);
  DWORD_PTR answer = 0;
  // The program takes a hand-over as soon as its message loop runs; it may
  // still be starting.
  if (!SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                           SMTO_ABORTIFHUNG, 60000, &answer)) {
    return false;
  }
  return answer == TRUE;
}

std::deque<HandOver>& PendingHandOvers() {
  static std::deque<HandOver> pending;
  return pending;
}
