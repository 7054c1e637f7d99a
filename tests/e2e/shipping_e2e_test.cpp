// The packages as a user gets them, under Wine: the portable zip unpacked
// into a folder whose name holds Chinese (by the shipping_packages fixture)
// converting a text and a file through the real windows, and the installer
// run silently: installed into Program Files with its Start menu entry and
// uninstall entry, the installed program started, and the uninstaller
// removing it all but the user's settings.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "pages/FileDrop.h"
#include "tests/e2e/filepages_e2e_harness.h"
#include "tests/support/TestText.h"

namespace {

using namespace filepages_e2e;
using testing_support::Utf8;

constexpr int kEntranceTextS2T = 1001;
constexpr int kSourceEdit = 1005;
constexpr int kResultEdit = 1006;
constexpr int kBack = 1010;
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnwell";

// The fixture's folder: the unpacked zip and the installer.
std::wstring ShippingFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetEnvironmentVariableW(L"TARNWELL_SHIPPING", folder, MAX_PATH);
  return folder;
}
std::wstring PortableFolder() {
  return ShippingFolder() + L"\\便携版 测试\\Tarnwell-1.0.1-win64";
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring KnownFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
  return path;
}

// The "major.minor.patch.build" of a module's version resource.
std::wstring FileVersionOf(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return L"";
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return L"";
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length)) return L"";
  return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." +
         std::to_wstring(LOWORD(info->dwFileVersionMS)) + L"." +
         std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." +
         std::to_wstring(LOWORD(info->dwFileVersionLS));
}

// The application manifest embedded in a program, as text.
std::string ManifestOf(const std::wstring& exe) {
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return "";
  std::string text;
  if (HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST)) {
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, res)));
    if (bytes != nullptr) text.assign(bytes, SizeofResource(module, res));
  }
  FreeLibrary(module);
  return text;
}

std::wstring RegistryText(const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS) {
    return L"";
  }
  wchar_t value[1024] = {};
  DWORD size = sizeof(value) - sizeof(wchar_t);
  DWORD type = 0;
  const LONG got =
      RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return got == ERROR_SUCCESS && type == REG_SZ ? value : L"";
}
// A value of a key under HKEY_LOCAL_MACHINE ("" for the default value);
// empty when the key or the value is missing.
std::wstring MachineText(const std::wstring& path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS) {
    return L"";
  }
  wchar_t value[1024] = {};
  DWORD size = sizeof(value) - sizeof(wchar_t);
  DWORD type = 0;
  const LONG got = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return got == ERROR_SUCCESS && type == REG_SZ ? value : L"";
}
bool MachineKeyExists(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

// The context menu's verbs: for every kind of file a dropped folder gives
// (.txt first) and for folders, each way.
struct Verb {
  std::wstring key;
  const wchar_t* caption;
  const wchar_t* pageSwitch;
};
std::vector<Verb> ContextMenuVerbs() {
  std::vector<std::wstring> roots;
  for (size_t i = 0; i < kTextExtensionCount; ++i) {
    roots.push_back(std::wstring(L"Software\\Classes\\SystemFileAssociations\\") +
                    kTextExtensions[i] + L"\\shell\\");
  }
  roots.push_back(L"Software\\Classes\\Directory\\shell\\");
  std::vector<Verb> verbs;
  for (const std::wstring& root : roots) {
    verbs.push_back({root + L"Tarnwell.ToTraditional", L"用 Tarnwell 转为繁体", L"/s2t"});
    verbs.push_back({root + L"Tarnwell.ToSimplified", L"用 Tarnwell 转为简体", L"/t2s"});
  }
  return verbs;
}

// Runs tarnwell-cli.exe with `args` in `folder`; its exit code.
DWORD RunCli(const std::wstring& exe, const std::wstring& folder, const std::wstring& args) {
  std::wstring command = L"\"" + exe + L"\" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, folder.c_str(), &si, &pi)) {
    return 0xDEAD;
  }
  DWORD code = 0xBEEF;
  if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code;
}

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The current user's "start with Windows" value; "<absent>" when there is none.
std::wstring RunValue() {
  wchar_t value[1024] = {};
  DWORD size = sizeof(value) - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Tarnwell", RRF_RT_REG_SZ, nullptr, value,
                   &size) != ERROR_SUCCESS) {
    return L"<absent>";
  }
  return value;
}

bool UninstallKeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

// ProgramTest with the program started from another folder.
class ShippedProgramTest : public ProgramTest {
 protected:
  void SetUp() override {}  // each test starts its own program

  void StartFrom(const std::wstring& exe) {
    StartProgramAt(exe, 60000);
    if (HasFatalFailure()) return;
    // The program that runs is the one started, not the build's.
    wchar_t image[1024] = {};
    DWORD units = 1024;
    ASSERT_TRUE(QueryFullProcessImageNameW(program.handle(), 0, image, &units));
    EXPECT_EQ(CompareStringOrdinal(image, -1, exe.c_str(), -1, TRUE), CSTR_EQUAL) << Utf8(image);
  }

  // Simplified to Traditional through the text page.
  std::wstring ConvertText(const std::wstring& source) {
    HWND card = FindDescendant(main, kEntranceTextS2T);
    EXPECT_NE(card, nullptr);
    if (card == nullptr) return L"";
    PostClick(GetParent(card), kEntranceTextS2T);
    HWND sourceEdit = nullptr;
    WaitFor([&] { return (sourceEdit = FindDescendant(main, kSourceEdit)) != nullptr; });
    EXPECT_NE(sourceEdit, nullptr);
    if (sourceEdit == nullptr) return L"";
    HWND page = GetParent(sourceEdit);
    SendMessageTimeoutW(sourceEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(source.c_str()),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    PostClick(page, IDOK);
    std::wstring text;
    WaitFor([&] {
      text = TextOf(GetDlgItem(page, kResultEdit));
      return !text.empty() && IsWindowEnabled(main);
    }, 30000);
    PostClick(main, kBack);
    WaitFor([&] { return FindDescendant(main, kSourceEdit) == nullptr; });
    return text;
  }

};

TEST_F(ShippedProgramTest, ThePortableZipRunsFromAFolderWithAChineseName) {
  const std::wstring folder = PortableFolder();
  ASSERT_TRUE(Exists(folder + L"\\tarnwell.exe")) << Utf8(folder);

  // What ships: every module carries the version of the about box, the
  // program its manifest, and the licence texts are there.
  for (const wchar_t* module :
       {L"tarnwell.exe", L"tarnwell-cli.exe", L"glyphmap.dll", L"modgate.dll", L"skeldon.dat"}) {
    EXPECT_EQ(FileVersionOf(folder + L"\\" + module), L"1.0.1.0") << Utf8(module);
  }
  const std::string manifest = ManifestOf(folder + L"\\tarnwell.exe");
  EXPECT_NE(manifest.find("PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
  EXPECT_NE(manifest.find("true/pm</dpiAware>"), std::string::npos);
  EXPECT_NE(manifest.find("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"), std::string::npos);
  EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
  EXPECT_EQ(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  for (const wchar_t* text :
       {L"opencc\\LICENSE", L"marisa\\COPYING.md", L"rapidjson\\license.txt",
        L"darts-clone\\COPYING.md", L"uchardet\\COPYING", L"gcc-runtime\\GCC-exception-3.1.txt",
        L"gcc-runtime\\GPL-3.txt", L"winpthreads\\NOTICE.txt"}) {
    EXPECT_TRUE(Exists(folder + L"\\licenses\\" + text)) << Utf8(text);
  }

  ASSERT_NO_FATAL_FAILURE(StartFrom(folder + L"\\tarnwell.exe"));
  EXPECT_EQ(ConvertText(L"简体中文转换为繁体，发展后的软件。"), L"簡體中文轉換爲繁體，發展後的軟件。");

  std::string simplified;
  for (int i = 0; i < 5; ++i) simplified += Utf8(L"后来发展的软件里面，头发长得很快。\r\n");
  Source(L"便携.txt", simplified);
  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir, {L"便携.txt"}, 1));
  ASSERT_NO_FATAL_FAILURE(StartAndAnswer(page, IDNO));
  EXPECT_EQ(Output(L"便携.txt"), EngineConvert(simplified, Sim2Tra));

  // The command line beside it gives the same bytes.
  const std::wstring cliOut = work / L"命令行";
  CreateDirectoryW(cliOut.c_str(), nullptr);
  EXPECT_EQ(RunCli(folder + L"\\tarnwell-cli.exe", srcDir, L"-c s2t 便携.txt -o \"" + cliOut + L"\""),
            0u);
  EXPECT_EQ(ReadFileBytes(cliOut + L"\\便携.txt"), Output(L"便携.txt"));
}

TEST_F(ShippedProgramTest, TheInstallerInstallsSilentlyAndTheUninstallerKeepsTheSettings) {
  const std::wstring setup = ShippingFolder() + L"\\setup.exe";
  ASSERT_TRUE(Exists(setup)) << Utf8(setup);
  const std::wstring installed = KnownFolder(CSIDL_PROGRAM_FILES) + L"\\Tarnwell";
  const std::wstring startMenu = KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tarnwell";

  // "Start with Windows" chosen for a copy elsewhere: the installer points
  // it at the copy it installs, the uninstaller removes it.
  const std::wstring oldRun = L"\"C:\\Tarnwell-old\\tarnwell.exe\"";
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Tarnwell", REG_SZ, oldRun.c_str(),
                            static_cast<DWORD>((oldRun.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);

  RemoteProcess installer;
  ASSERT_TRUE(installer.Start(setup, L"/S"));
  ASSERT_EQ(WaitForSingleObject(installer.handle(), 180000), WAIT_OBJECT_0) << "setup hangs";
  DWORD code = 1;
  GetExitCodeProcess(installer.handle(), &code);
  EXPECT_EQ(code, 0u);
  for (const wchar_t* file : {L"tarnwell.exe", L"tarnwell-cli.exe", L"skeldon.dat", L"glyphmap.dll", L"modgate.dll",
                              L"STPhrases.txt", L"s2t.json", L"t2s.json", L"dictionaries.sha256",
                              L"uninstall.exe", L"licenses\\opencc\\LICENSE"}) {
    EXPECT_TRUE(Exists(installed + L"\\" + file)) << Utf8(file);
  }
  EXPECT_TRUE(Exists(startMenu + L"\\Tarnwell.lnk"));
  EXPECT_EQ(RunValue(), L"\"" + installed + L"\\tarnwell.exe\"");
  EXPECT_EQ(RegistryText(L"DisplayVersion"), L"1.0.1");
  EXPECT_EQ(RegistryText(L"Publisher"), L"Quorvane");
  EXPECT_NE(RegistryText(L"UninstallString").find(installed + L"\\uninstall.exe"),
            std::wstring::npos);

  // Explorer's context menu: two verbs for text files, two for folders,
  // each starting the installed program with its page's switch.
  for (const Verb& verb : ContextMenuVerbs()) {
    EXPECT_EQ(MachineText(verb.key, L"MUIVerb"), verb.caption) << Utf8(verb.key);
    EXPECT_EQ(MachineText(verb.key + L"\\command", L""),
              L"\"" + installed + L"\\tarnwell.exe\" " + verb.pageSwitch + L" \"%1\"")
        << Utf8(verb.key);
  }
  // The text file verb, run as the Explorer runs it, queues the file on the
  // Simplified-to-Traditional page.
  {
    std::wstring command = MachineText(ContextMenuVerbs()[0].key + L"\\command", L"");
    CreateDirectoryW(srcDir.c_str(), nullptr);
    const std::wstring file = Source(L"右键.txt", Utf8(L"后来发展的软件里面，头发长得很快。\r\n"));
    command.replace(command.find(L"%1"), 2, file);
    const std::wstring exe = installed + L"\\tarnwell.exe";
    const std::wstring args = command.substr(command.find(L"\" ", 1) + 2);
    ASSERT_NO_FATAL_FAILURE(StartProgramAt(exe, 60000, args));
    HWND list = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (list = FindDescendant(main, kFileList)) != nullptr; }));
    RemoteList rows(list, program.id());
    ASSERT_TRUE(WaitFor([&] { return rows.Rows() == 1; }, 20000));
    EXPECT_EQ(rows.Cell(0, 0), L"右键.txt");
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer(GetParent(list), IDNO));
    EXPECT_EQ(Output(L"右键.txt"), EngineConvert(Utf8(L"后来发展的软件里面，头发长得很快。\r\n"), Sim2Tra));
    program.Kill();
  }

  // The installed program starts and works; then it is closed.
  ASSERT_NO_FATAL_FAILURE(StartFrom(installed + L"\\tarnwell.exe"));
  EXPECT_EQ(ConvertText(L"发展"), L"發展");
  program.Kill();
  const std::string settings = ReadFileBytes(settingsFile);
  ASSERT_FALSE(settings.empty());
  // The conversion it opened is kept compiled for the next start: a cache
  // the uninstaller takes along.
  const std::wstring images = KnownFolder(CSIDL_LOCAL_APPDATA) + L"\\Quorvane\\Tarnwell\\Conversions";
  ASSERT_TRUE(Exists(images));

  // The uninstaller copies itself away and returns at once: wait for the
  // files to go.
  RemoteProcess uninstaller;
  ASSERT_TRUE(uninstaller.Start(installed + L"\\uninstall.exe", L"/S"));
  // Its entry in Add/Remove Programs goes last.
  EXPECT_TRUE(WaitFor([&] { return !UninstallKeyExists(); }, 120000)) << "still registered";
  EXPECT_FALSE(Exists(installed + L"\\tarnwell.exe"));
  EXPECT_FALSE(Exists(installed)) << "the program folder stayed";
  EXPECT_FALSE(Exists(startMenu));
  EXPECT_EQ(RunValue(), L"<absent>");
  for (const Verb& verb : ContextMenuVerbs()) EXPECT_FALSE(MachineKeyExists(verb.key)) << Utf8(verb.key);
  // Only our verbs went: the folders' own menu is still there.
  EXPECT_TRUE(MachineKeyExists(L"Software\\Classes\\Directory\\shell"));
  ASSERT_TRUE(WaitFor([&] { return WaitForSingleObject(uninstaller.handle(), 0) == WAIT_OBJECT_0; },
                      20000));
  EXPECT_EQ(ReadFileBytes(settingsFile), settings) << "the settings were touched";
  EXPECT_FALSE(Exists(images)) << "the compiled conversions stayed";
}

// Not a test: the program's entrance page, a file page with a finished
// queue and the settings dialog, each held on screen and announced, for
// `make screenshots`.
TEST_F(ShippedProgramTest, DISABLED_Shots) {
  outDir = KnownFolder(CSIDL_PERSONAL) + L"\\Tarnwell";  // the default, as users see it
  ASSERT_NO_FATAL_FAILURE(StartFrom(ExeFolder() + L"\\tarnwell.exe"));
  std::string plain;
  for (int i = 0; i < 40; ++i) plain += "A plain ASCII line of an English text file.\r\n";
  Source(L"简体样本.txt", ReadFileBytes(ExeFolder() + L"\\textio_zh_hans.gb18030"));
  Source(L"说明.txt", "\xEF\xBB\xBF" + Utf8(L"简体中文的说明文件，头发后来长得很快。\r\n"));
  Source(L"readme.txt", plain);
  HoldForShot("main", program.id());
  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir, {L"简体样本.txt", L"说明.txt", L"readme.txt"}, 3));
  ASSERT_NO_FATAL_FAILURE(StartAndAnswer(page, IDNO));
  // Only the main window is left once the progress display has gone.
  ASSERT_TRUE(WaitFor([&] { return TopWindows(program.id(), L"#32770").size() == 1; }));
  HoldForShot("file-done", program.id());
  PostClick(main, kSettingButton);
  HWND settings = WaitForDialog(L"设置");
  ASSERT_NE(settings, nullptr);
  HoldForShot("settings", program.id());
  PostClick(settings, IDCANCEL);
}

}  // namespace
