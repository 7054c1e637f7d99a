#include "clipconv/ClipboardService.h"

#include <utility>

#include "clipconv/ClipboardText.h"
#include "engine/ConvNotify.h"
#include "fw/MessageBox.h"

namespace {

constexpr int HotkeyId(ConvDirection direction) { return direction == Tra2Sim ? 2 : 1; }

void RegisterServiceClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = ClipboardService::kClassName;
  RegisterClassExW(&wc);  // fails harmlessly when registered already
}

std::wstring Utf8ToWide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    nullptr, 0);
  std::wstring wide(n > 0 ? static_cast<size_t>(n) : 0, L'\0');
  if (n > 0) {
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  }
  return wide;
}

// The first line of a text, cut to a length a notification shows.
std::wstring FirstLine(const std::wstring& text) {
  std::wstring line = text.substr(0, text.find_first_of(L"\r\n"));
  if (line.size() > 60) line = line.substr(0, 59) + L"…";
  return line;
}

}  // namespace

ClipboardService::ClipboardService(Host host) : host_(std::move(host)) {}

ClipboardService::~ClipboardService() {
  // The worker must be gone before the job and the window it posts to.
  if (WorkerRecorded()) StopJob();
  tray_.Remove();
  for (GlobalHotkey& hotkey : hotkeys_) hotkey.Release();
}

bool ClipboardService::Start(const ClipboardOptions& options) {
  if (m_hWnd == nullptr) {
    RegisterServiceClass();
    // A top-level window that is never shown: the shell's "TaskbarCreated"
    // reaches top-level windows only.
    if (!CreateEx(WS_EX_TOOLWINDOW, kClassName, L"Tarnwell clipboard", WS_POPUP, RECT{0, 0, 0, 0},
                  static_cast<HWND>(nullptr), 0)) {
      return false;
    }
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  }
  Apply(options);
  return true;
}

void ClipboardService::Apply(const ClipboardOptions& options) {
  options_ = options;
  // All given back first, so that two hotkeys may change places.
  for (GlobalHotkey& hotkey : hotkeys_) hotkey.Release();
  for (ConvDirection direction : {Sim2Tra, Tra2Sim}) {
    held_[direction] = false;
    if (!options_.hotkeysOn || m_hWnd == nullptr) continue;
    held_[direction] = !hotkeys_[direction].Register(m_hWnd, HotkeyId(direction),
                                                     options_.HotkeyFor(direction));
  }
  if (options_.keepInTray) {
    ShowTrayIcon();
  } else {
    tray_.Remove();
  }
}

bool ClipboardService::HotkeyHeld(ConvDirection direction) const {
  return (direction == Sim2Tra || direction == Tra2Sim) && held_[direction];
}

void ClipboardService::ShowTrayIcon() {
  if (m_hWnd == nullptr) return;
  std::wstring tip = fw::AppName().empty() ? L"Tarnwell" : fw::AppName();
  if (options_.hotkeysOn) {
    tip += L"\n" + HotkeyName(options_.sim2Tra) + L" 简→繁, " + HotkeyName(options_.tra2Sim) +
           L" 繁→简";
  }
  tray_.Show(m_hWnd, WM_TRAY_ICON, host_.icon, tip);
}

void ClipboardService::Notify(const std::wstring& text) {
  lastNotice_ = text;
  notice_.Show(text);
}

void ClipboardService::ConvertClipboard(ConvDirection direction) {
  if (WorkerRecorded()) {
    Notify(L"上一次转换尚未完成, 请稍候");
    return;
  }
  job_ = ClipboardJob{};
  switch (ReadClipboardText(m_hWnd, job_.source, job_.sequence)) {
    case ClipboardRead::NoText: Notify(L"剪贴板中没有文字, 未作改动"); return;
    case ClipboardRead::Busy: Notify(L"剪贴板正被其他程序使用, 请稍后再试"); return;
    case ClipboardRead::Text: break;
  }
  job_.direction = direction;
  if (host_.convOptions) job_.options = host_.convOptions(direction);
  if (StartJob() != 1) {
    job_ = ClipboardJob{};
    Notify(L"无法开始转换 (系统资源不足)");
  }
}

DWORD ClipboardService::RunJob() {
  ConvertClipboardJob(job_);
  PostJobMessage(CONV_END, 0);
  return 0;
}

void ClipboardService::OnJobMessage(WPARAM code, LPARAM) {
  if (code == CONV_END) FinishJob();
}

void ClipboardService::FinishJob() {
  // The worker may still be on its way out; what it leaves is final.
  if (LastJobTerminated()) {
    Notify(L"转换未能完成, 剪贴板未作改动");
    return;
  }
  ClipboardJob job = std::move(job_);
  job_ = ClipboardJob{};
  if (!job.converted) {
    Notify(L"转换失败, 剪贴板未作改动\n" + FirstLine(Utf8ToWide(job.problem)));
    return;
  }
  std::wstring text;
  if (job.result == job.source) {
    text = L"没有需要转换的文字";
  } else {
    switch (ReplaceClipboardText(m_hWnd, job.result, job.sequence)) {
      case ClipboardWrite::Written:
        text = std::wstring(job.direction == Tra2Sim ? L"已转为简体: " : L"已转为繁体: ") +
               std::to_wstring(CountCharacters(job.result)) + L" 个字符";
        break;
      case ClipboardWrite::Changed: text = L"转换期间又复制了新内容, 剪贴板未作改动"; break;
      case ClipboardWrite::Busy: text = L"剪贴板正被其他程序使用, 未能放入结果"; break;
      case ClipboardWrite::Failed: text = L"未能把结果放入剪贴板 (内存不足?)"; break;
    }
  }
  if (!job.wordListReport.empty()) text += L"\n自定义词汇中有无法使用的行, 已跳过";
  Notify(text);
}

void ClipboardService::OnTrayIcon(UINT mouseMessage) {
  switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
      if (host_.showMainWindow) host_.showMainWindow();
      break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU: ShowTrayMenu(); break;
    default: break;
  }
}

void ClipboardService::ShowTrayMenu() {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return;
  AppendMenuW(menu, MF_STRING, kCmdSim2Tra, L"简→繁 剪贴板");
  AppendMenuW(menu, MF_STRING, kCmdTra2Sim, L"繁→简 剪贴板");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kCmdOpenMain, L"打开主窗口");
  AppendMenuW(menu, MF_STRING, kCmdExit, L"退出");
  SetMenuDefaultItem(menu, kCmdOpenMain, FALSE);
  POINT pt{};
  GetCursorPos(&pt);
  // Without the foreground the menu would not close when clicked beside.
  SetForegroundWindow(m_hWnd);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, pt.x, pt.y, 0, m_hWnd, nullptr);
  PostMessage(WM_NULL);
  DestroyMenu(menu);
}

bool ClipboardService::OnMenuCommand(UINT id) {
  switch (id) {
    case kCmdSim2Tra: ConvertClipboard(Sim2Tra); return true;
    case kCmdTra2Sim: ConvertClipboard(Tra2Sim); return true;
    case kCmdOpenMain:
      if (host_.showMainWindow) host_.showMainWindow();
      return true;
    case kCmdExit:
      if (host_.exitProgram) host_.exitProgram();
      return true;
    default: return false;
  }
}

LRESULT ClipboardService::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_HOTKEY:
      if (wp == static_cast<WPARAM>(HotkeyId(Sim2Tra))) ConvertClipboard(Sim2Tra);
      if (wp == static_cast<WPARAM>(HotkeyId(Tra2Sim))) ConvertClipboard(Tra2Sim);
      return 0;
    case WM_TRAY_ICON: OnTrayIcon(static_cast<UINT>(LOWORD(lp))); return 0;
    case WM_COMMAND:
      if (OnMenuCommand(LOWORD(wp))) return 0;
      break;
    case WM_CONV_NOTIFY: OnJobMessage(wp, lp); return 0;
    default:
      if (msg != 0 && msg == taskbarCreated_ && options_.keepInTray) {
        tray_.Restore();
        return 0;
      }
      break;
  }
  return fw::CWnd::WindowProc(msg, wp, lp);
}

void ClipboardService::OnDestroy() {
  if (WorkerRecorded()) StopJob();
  tray_.Remove();
  for (GlobalHotkey& hotkey : hotkeys_) hotkey.Release();
  Default();
}
