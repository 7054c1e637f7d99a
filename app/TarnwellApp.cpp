#include "app/TarnwellApp.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "app/TarnwellDlg.h"
#include "config/CfgStore.h"
#include "config/ModuleFolder.h"
#include "fw/Handle.h"
#include "fw/MessageBox.h"
#include "loader/ResMgrHolder.h"
#include "skeldon/ResIds.h"
#include "skin/CtrlTables.h"

const wchar_t InstanceWindowTitle[] = L"809726CD-DD8B-4bb2-9C7B-F173ED129BFE";

namespace {

constexpr wchar_t kClassAlphabet[] =
    L"-_0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr wchar_t kPackFile[] = L"skeldon.dat";
// Held while a start looks for a running copy and creates its instance window.
constexpr wchar_t kStartLockName[] = L"Local\\Tarnwell-start-809726CD-DD8B-4bb2-9C7B-F173ED129BFE";
// The caption of the one box shown before the pack gives the product title.
constexpr wchar_t kFallbackName[] = L"Tarnwell";

void InitControls() {
  INITCOMMONCONTROLSEX icc{8, 0xFF};
  InitCommonControlsEx(&icc);
}

// The message for a start without a usable resource pack, in Chinese and
// English, naming the file and the folder where it was looked for.
std::wstring MissingPackText() {
  wchar_t folder[MAX_PATH] = {};
  ModuleFolder(folder);  // stays empty when the folder cannot be had
  std::wstring path = std::wstring(folder) + kPackFile;
  const bool present = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  std::wstring text;
  if (present) {
    text = L"无法加载资源包 " + std::wstring(kPackFile) + L"，文件可能已损坏。\n位置：" +
           folder + L"\n请重新安装本程序。\n\nThe resource pack " + kPackFile +
           L" could not be loaded; the file may be damaged.\nLocation: " + folder +
           L"\nPlease reinstall the program.";
  } else {
    text = L"找不到资源包 " + std::wstring(kPackFile) + L"。\n它应位于此文件夹：" + folder +
           L"\n请重新安装本程序。\n\nThe resource pack " + kPackFile +
           L" is missing.\nIt was expected in this folder: " + folder +
           L"\nPlease reinstall the program.";
  }
  return text;
}

// Said once at start when the settings file could not be opened.
std::wstring UnreachableSettingsText(const CfgStore& store) {
  std::wstring text = L"设置文件";
  text += store.UnreachableError() == ERROR_SHARING_VIOLATION ? L"正被其他程序使用"
                                                               : L"无法打开";
  text += L":\n";
  text += store.Path();
  text += L"\n\n本次使用默认设置启动, 所做的更改不会保存。";
  wchar_t reason[512] = {};
  if (FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     store.UnreachableError(), 0, reason, 511, nullptr) != 0) {
    text += L"\n(";
    std::wstring why = reason;
    while (!why.empty() && (why.back() == L'\n' || why.back() == L'\r')) why.pop_back();
    text += why + L")";
  }
  return text;
}

}  // namespace

CTarnwellApp::CTarnwellApp() = default;

bool CTarnwellApp::ReachModules() {
  // Imported on first use only: loaded here, from the program's folder, so
  // that a missing one is named rather than the program stopped unseen.
  static constexpr const wchar_t* kModules[] = {L"glyphmap.dll", L"modgate.dll"};
  wchar_t folder[MAX_PATH] = {};
  ModuleFolder(folder);  // stays empty when the folder cannot be had
  std::wstring zh, en;
  for (const wchar_t* name : kModules) {
    const std::wstring path = std::wstring(folder) + name;
    if (LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH) != nullptr) continue;
    const bool present = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    zh += std::wstring(L"    ") + name + (present ? L" (无法加载, 文件可能已损坏)\n" : L" (找不到)\n");
    en += std::wstring(L"    ") + name +
          (present ? L" (could not be loaded; the file may be damaged)\n" : L" (missing)\n");
  }
  if (zh.empty()) return true;
  fw::SetAppName(kFallbackName);
  const std::wstring text = L"本程序的组件无法加载, 程序不能启动:\n" + zh + L"查找位置: " + folder +
                            L"\n请重新安装本程序。\n\nA part of the program could not be "
                            L"loaded, so it cannot start:\n" +
                            en + L"Looked for in this folder: " + folder +
                            L"\nPlease reinstall the program.";
  fw::AppMessageBox(nullptr, text, MB_OK | MB_ICONERROR);
  return false;
}

void CTarnwellApp::TellUnreachableSettings() {
  const CfgStore& store = CfgStore::Instance();
  if (!store.Unreachable()) return;
  fw::AppMessageBox(nullptr, UnreachableSettingsText(store), MB_OK | MB_ICONEXCLAMATION);
}

BOOL CTarnwellApp::InitInstance() {
  if (!ReachModules()) {
    exitCode_ = EXIT_MISSING_MODULE;
    return FALSE;
  }
  const HandOver handOver = ParseProgramArgs(ProgramArgs());
  // One start at a time looks for the running copy or becomes it: files
  // opened together from the Explorer start several copies at once, and
  // all their files must reach one program.
  fw::UniqueHandle startLock(CreateMutexW(nullptr, FALSE, kStartLockName));
  const bool locked = startLock && WaitForSingleObject(startLock.get(), 30000) != WAIT_TIMEOUT;
  if (!handOver.paths.empty() && HandToRunningCopy(handOver)) {
    if (locked) ReleaseMutex(startLock.get());
    handedOver_ = true;
    return FALSE;
  }
  CfgStore::Instance();
  SetUpInstanceWindow();
  if (locked) ReleaseMutex(startLock.get());
  startLock.reset();
  if (!handOver.paths.empty()) PendingHandOvers().push_back(handOver);
  CoInitialize(nullptr);
  if (!ReachResourcePack()) {
    exitCode_ = EXIT_NO_RESOURCE_PACK;
    return FALSE;
  }
  InitControls();
  CreateSharedTooltip();
  TellUnreachableSettings();

  InitControls();
  CTarnwellDlg dlg(nullptr);
  m_pMainWnd = &dlg;
  dlg.DoModalFor(nullptr);
  m_pMainWnd = nullptr;
  return FALSE;
}

bool CTarnwellApp::HandToRunningCopy(const HandOver& handOver) {
  HWND running = FindWindowW(nullptr, InstanceWindowTitle);
  return running != nullptr && SendHandOver(running, handOver);
}

LRESULT CTarnwellApp::OnWndMsg(HWND, UINT msg, WPARAM, LPARAM lp, BOOL* handled) {
  if (msg != WM_COPYDATA) return 0;
  *handled = TRUE;
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
  HandOver handOver;
  // The data belongs to the sender and is valid during this call only.
  if (data == nullptr || !UnpackHandOver(*data, handOver)) return FALSE;
  PendingHandOvers().push_back(std::move(handOver));
  if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr) {
    PostMessageW(m_pMainWnd->m_hWnd, WM_HANDED_FILES, 0, 0);
  }
  return TRUE;
}

void CTarnwellApp::SetUpInstanceWindow() {
  if (FindWindowW(nullptr, InstanceWindowTitle) != nullptr) {
    wcscpy(windowTitle, InstanceWindowTitle);
    // A running copy: tell it, and start all the same.
    if (HWND running = FindWindowW(nullptr, windowTitle)) {
      PostMessageW(running, WM_INSTANCE_PING, 0, 0);
    }
    return;
  }
  if (hwnd == nullptr) CreateInstanceWindow();
}

void CTarnwellApp::CreateInstanceWindow() {
  wcscpy(windowTitle, InstanceWindowTitle);
  std::wstring name = InstanceWindowTitle;
  name += L'-';
  for (int i = 0; i < 16; ++i) name += kClassAlphabet[rand() & 63];
  wcsncpy(className, name.c_str(), 259);
  RegisterHiddenClass(className);
  HWND wnd = CreateWindowExW(0, className, windowTitle, WS_OVERLAPPEDWINDOW, 100, 100, 100, 100,
                             nullptr, nullptr, m_hInstance, nullptr);
  if (wnd == nullptr) return;  // the program runs without it
  hwnd = wnd;
  // A copy started elevated (the installer's last page starts it so) still
  // takes files handed over by the user's own starts.
  ChangeWindowMessageFilterEx(wnd, WM_COPYDATA, MSGFLT_ALLOW, nullptr);
  SetWindowLongPtrW(wnd, GWLP_USERDATA,
                    reinterpret_cast<LONG_PTR>(static_cast<vek_HideWnd*>(this)));
}

bool CTarnwellApp::ReachResourcePack() {
  ResMgrHolder* holder = GetResMgr();
  if (holder == nullptr || holder->resMgr == nullptr) {
    fw::SetAppName(kFallbackName);
    fw::AppMessageBox(nullptr, MissingPackText(), MB_OK | MB_ICONERROR);
    return false;
  }
  std::wmemset(appName, 0, 260);
  WCHAR* out = appName;
  long size = 260;
  holder->resMgr->QueryTxt(TXT_PRODUCT_TITLE, &out, &size);
  appName[259] = L'\0';
  fw::SetAppName(appName);
  return true;
}

int CTarnwellApp::ExitInstance() {
  // A start that handed its files over prepared nothing to undo.
  if (handedOver_) return fw::CWinApp::ExitInstance();
  CfgStore::DeleteInstance();
  CoUninitialize();
  ShutdownComponents();
  return fw::CWinApp::ExitInstance();
}
