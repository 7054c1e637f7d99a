// The resource pack through the real path: modgate -> skeldon.dat ->
// vek_IResMgr. Texts, the item rule, the bitmap table in both load types,
// object identity and lifetime, the exports and the type library.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "skeldon/ResIds.h"
#include "skeldon/TextItems.h"
#include "tests/support/TempDir.h"
#include "tests/unit/skeldon_client.h"

using skeldon_test::kBitmaps;
using skeldon_test::ResMgrSession;
using skeldon_test::SkeldonPath;

namespace {

struct TextRow {
  long id;
  const wchar_t* text;
};

const TextRow kTexts[] = {
    {0x10000001, L""},
    {0x10000002, L""},
    {0x10000003, L""},
    {0x10000004, L""},
    {0x10000005, L""},
    {0x10000006, L""},
    {0x20000001, L"Quorvane简体繁体字转换器"},
    {0x30000001, L"文件名\n文件大小\n编码\n状态\n"},
    {0x30000002, L"文本文件 (*.txt)|*.txt||"},
    {0x30000003, L"请选择一个文件夹"},
    {0x30000004, L"您确定要终止转换?"},
    {0x30000005, L"处理完成,您是否要打开存储文件夹?"},
    {0x30000006, L"待处理\n正在处理\n处理完成\n处理终止\n未知错误\n"},
    {0x30000007, L"ANSI\nUnicode\nUnicode big endian\nUTF-8\n"},
    {0x30000010, L"请先添加需要处理的内容再执行该操作."},
    {0x30000011, L"文本与字幕文件|*.txt;*.text;*.log;*.htm;*.html;*.xhtml;*.xml;*.json;*.csv;*.tsv;*.ini;*.md;*.srt;*.ass;*.ssa;*.vtt;*.lrc;*.sub|所有文件 (*.*)|*.*||"},
    {0x60000001, L"帮助"},
    {0x60000002, L"最小化"},
    {0x60000003, L"关闭"},
    {0x60000004, L"菜单"},
    {0x60000005, L"返回主界面"},
    {0x60000006, L"系统设置"},
    {0x60000007, L"关闭"},
    {0x60000008, L"开始转换"},
    {0x60000009, L"停止转换"},
    {0x6000000A, L"添加文件到转换队列"},
    {0x6000000B, L"把选中的文件从转换队列中移除"},
    {0x6000000C, L"清空转换队列"},
    {0x6000000D, L"打开存放转换结果的文件夹"},
    {0x6000000E, L"重新初始化系统设置"},
    {0x70000001, L"关于我们"},
    {0x70000003, L"正在转换..."},
    {0x70000004, L"设置"},
    {0x70000005, L"文件设置"},
};

class SkeldonTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(S_OK, session.result) << "no ResMgr through modgate"; }
  ResMgrSession session;
  vek_IResMgr* mgr() { return session.mgr; }
};

std::wstring Item(vek_IResMgr* mgr, long id, long item, HRESULT* hr, long bytes = 520) {
  std::vector<wchar_t> buf(static_cast<size_t>(bytes) / 2 + 1, L'#');
  *hr = mgr->GetMTxtItem(id, item, buf.data(), bytes);
  return buf.data();
}

TEST_F(SkeldonTest, EveryTextComesBackByGetTxtAndQueryTxt) {
  for (const TextRow& row : kTexts) {
    SCOPED_TRACE(row.id);
    WCHAR* text = nullptr;
    ASSERT_EQ(S_OK, mgr()->GetTxt(row.id, &text));
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(std::wstring(row.text), text);
    // The pointer is into the pack's table: stable across calls.
    WCHAR* again = nullptr;
    mgr()->GetTxt(row.id, &again);
    EXPECT_EQ(text, again);

    wchar_t buf[260];
    std::fill(std::begin(buf), std::end(buf), L'#');
    WCHAR* bufPtr = buf;
    LONG len = 260;
    ASSERT_EQ(S_OK, mgr()->QueryTxt(row.id, &bufPtr, &len));
    EXPECT_EQ(std::wstring(row.text), buf);
  }
}

TEST_F(SkeldonTest, TextIdsWithoutARowFail) {
  for (long id : {0L, 0x20000002L, 0x30000008L, 0x70000002L, 0x10000001L + 0x100, -1L}) {
    WCHAR* text = reinterpret_cast<WCHAR*>(1);
    EXPECT_EQ(E_FAIL, mgr()->GetTxt(id, &text));
    EXPECT_EQ(nullptr, text);
    wchar_t buf[8] = L"keep";
    WCHAR* bufPtr = buf;
    LONG len = 8;
    EXPECT_EQ(E_FAIL, mgr()->QueryTxt(id, &bufPtr, &len));
    EXPECT_STREQ(L"keep", buf);
    LONG items = 99;
    EXPECT_EQ(E_FAIL, mgr()->GetMTxtItems(id, &items));
    EXPECT_EQ(0, items);
  }
}

TEST_F(SkeldonTest, QueryTxtRefusesToCutATextShort) {
  wchar_t buf[4] = L"abc";
  WCHAR* bufPtr = buf;
  LONG len = 4;  // "最小化" needs 4 units with its terminator
  EXPECT_EQ(S_OK, mgr()->QueryTxt(0x60000002, &bufPtr, &len));
  EXPECT_STREQ(L"最小化", buf);
  len = 3;
  EXPECT_TRUE(FAILED(mgr()->QueryTxt(0x60000002, &bufPtr, &len)));
  EXPECT_STREQ(L"", buf);
  EXPECT_EQ(E_POINTER, mgr()->QueryTxt(0x60000002, nullptr, &len));
}

TEST_F(SkeldonTest, MultiItemTextsSplitAtLineFeeds) {
  LONG items = 0;
  ASSERT_EQ(S_OK, mgr()->GetMTxtItems(0x30000007, &items));
  EXPECT_EQ(4, items);
  HRESULT hr;
  EXPECT_EQ(L"Unicode big endian", Item(mgr(), 0x30000007, 2, &hr));
  EXPECT_EQ(S_OK, hr);
  EXPECT_EQ(L"ANSI", Item(mgr(), 0x30000007, 0, &hr));
  EXPECT_EQ(L"UTF-8", Item(mgr(), 0x30000007, 3, &hr));
  // Past the last item: failure, and the buffer is left zero-filled.
  EXPECT_EQ(L"", Item(mgr(), 0x30000007, 4, &hr));
  EXPECT_EQ(E_FAIL, hr);
  EXPECT_EQ(L"", Item(mgr(), 0x30000007, -1, &hr));
  EXPECT_EQ(E_FAIL, hr);

  mgr()->GetMTxtItems(0x30000006, &items);
  EXPECT_EQ(5, items);
  EXPECT_EQ(L"未知错误", Item(mgr(), 0x30000006, 4, &hr));
  mgr()->GetMTxtItems(0x30000001, &items);
  EXPECT_EQ(4, items);
  // A text without line feeds is one item; an empty one has none.
  mgr()->GetMTxtItems(0x20000001, &items);
  EXPECT_EQ(1, items);
  EXPECT_EQ(L"Quorvane简体繁体字转换器", Item(mgr(), 0x20000001, 0, &hr));
  mgr()->GetMTxtItems(0x10000001, &items);
  EXPECT_EQ(0, items);

  EXPECT_EQ(E_FAIL, mgr()->GetMTxtItem(0x30000007, 0, nullptr, 520));
  EXPECT_EQ(E_FAIL, mgr()->GetMTxtItem(0x7FFFFFFF, 0, nullptr, 520));
  // Too small a buffer: nothing half-copied.
  EXPECT_EQ(L"", Item(mgr(), 0x30000007, 2, &hr, 10));
  EXPECT_TRUE(FAILED(hr));
}

TEST(SkeldonTextItems, ItemRule) {
  auto items = [](const wchar_t* t) { return skeldon::CountTextItems(t); };
  EXPECT_EQ(0, items(L""));
  EXPECT_EQ(2, items(L"a\nb\n"));
  EXPECT_EQ(2, items(L"a\nb"));
  EXPECT_EQ(1, items(L"\n"));
  EXPECT_EQ(3, items(L"a\n\nb"));
  EXPECT_EQ(1, items(L"x"));
  auto item = [](const wchar_t* t, long i) {
    const WCHAR* start = nullptr;
    size_t length = 0;
    if (!skeldon::FindTextItem(t, i, &start, &length)) return std::wstring(L"<none>");
    return std::wstring(start, length);
  };
  EXPECT_EQ(L"b", item(L"a\nb", 1));
  EXPECT_EQ(L"b", item(L"a\nb\n", 1));
  EXPECT_EQ(L"", item(L"a\n\nb", 1));
  EXPECT_EQ(L"b", item(L"a\n\nb", 2));
  EXPECT_EQ(L"<none>", item(L"a\nb\n", 2));
  EXPECT_EQ(L"<none>", item(L"", 0));
}

TEST_F(SkeldonTest, TextTableInfoCoversEveryRow) {
  void* table = nullptr;
  LONG bytes = 0;
  ASSERT_EQ(S_OK, mgr()->QueryTxtInfo(&table, &bytes));
  const size_t rows = sizeof(kTexts) / sizeof(kTexts[0]);
  EXPECT_EQ(static_cast<LONG>(rows * 2052), bytes);
  // Row layout: 32-bit id, then 1024 units of zero-padded text.
  const auto* raw = static_cast<const unsigned char*>(table);
  for (size_t i = 0; i < rows; ++i) {
    LONG id;
    std::memcpy(&id, raw + i * 2052, 4);
    EXPECT_EQ(kTexts[i].id, id);
    EXPECT_EQ(std::wstring(kTexts[i].text), reinterpret_cast<const wchar_t*>(raw + i * 2052 + 4));
  }
}

TEST_F(SkeldonTest, BitmapTableRows) {
  for (const auto& row : kBitmaps) {
    stResInfo info;
    std::memset(&info, 0xCC, sizeof(info));
    ASSERT_EQ(S_OK, mgr()->QueryResById(row.id, &info));
    EXPECT_EQ(row.id, info.nResId);
    EXPECT_EQ(row.resource, info.nResource);
    EXPECT_EQ(std::wstring(row.file), info.szResPathName);
    EXPECT_EQ(0, info.szResPathName[259]);
  }
  stResInfo info;
  std::memset(&info, 0xCC, sizeof(info));
  EXPECT_EQ(S_OK, mgr()->QueryResById(0x10000016, &info));
  stResInfo zero = {};
  EXPECT_EQ(0, std::memcmp(&zero, &info, sizeof(info)));
}

// Each bitmap is in the module as RT_BITMAP in Chinese (PRC).
TEST(SkeldonModule, BitmapsAreChineseResources) {
  HMODULE dat = LoadLibraryExW(SkeldonPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, dat);
  for (const auto& row : kBitmaps) {
    HRSRC found = FindResourceExW(dat, RT_BITMAP, MAKEINTRESOURCEW(row.resource),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    ASSERT_NE(nullptr, found) << row.resource;
    // Header: BITMAPINFOHEADER, 24 bits, uncompressed.
    const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(dat, found)));
    EXPECT_EQ(24, info->biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), info->biCompression);
    EXPECT_EQ(row.width, info->biWidth);
    EXPECT_EQ(row.height, std::abs(info->biHeight));
  }
  FreeLibrary(dat);
}

TEST_F(SkeldonTest, EveryBitmapLoadsFromTheModuleWhateverTheTypeArgument) {
  ASSERT_EQ(S_OK, mgr()->Init(LOADTYPE_MODULE, nullptr));
  for (const auto& row : kBitmaps) {
    SCOPED_TRACE(row.id);
    LONG w = -1, h = -1;
    EXPECT_EQ(S_OK, mgr()->GetBmpSizeById(row.id, &w, &h));
    EXPECT_EQ(row.width, w);
    EXPECT_EQ(row.height, h);
    for (LONG type : {0L, 2L, 7L}) {
      HANDLE bmp = nullptr;
      EXPECT_EQ(S_OK, mgr()->LoadRes(row.id, type, &bmp));
      ASSERT_NE(nullptr, bmp);
      w = h = -1;
      mgr()->GetBmpSize(bmp, &w, &h);
      EXPECT_EQ(row.width, w);
      EXPECT_EQ(row.height, h);
      EXPECT_EQ(S_OK, mgr()->FreeRes(bmp));
    }
  }
  EXPECT_EQ(S_OK, mgr()->FreeRes(nullptr));
  LONG w = 7, h = 8;
  EXPECT_EQ(S_OK, mgr()->GetBmpSize(nullptr, &w, &h));
  EXPECT_EQ(7, w);
  EXPECT_EQ(8, h);
}

// What a window gets: the main face read back through GDI, the way the
// toolkit scans it for its region. Corners keyed, the blue band on top.
TEST_F(SkeldonTest, MainFaceReadsBackTheRightWayRound) {
  mgr()->Init(LOADTYPE_MODULE, nullptr);
  HANDLE bmp = nullptr;
  mgr()->LoadRes(BMP_MAINWND, 1, &bmp);
  ASSERT_NE(nullptr, bmp);
  const int w = 780, h = 520;
  std::vector<DWORD> pixels(static_cast<size_t>(w) * h);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(nullptr);
  const int rows = GetDIBits(dc, static_cast<HBITMAP>(bmp), 0, h, pixels.data(), &bi,
                             DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  mgr()->FreeRes(bmp);
  ASSERT_EQ(h, rows);
  auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF; };
  EXPECT_EQ(0xFF00FFu, at(0, 0));
  EXPECT_EQ(0xFF00FFu, at(w - 1, h - 1));
  const DWORD band = at(400, 40);  // 0x00RRGGBB
  EXPECT_GT(band & 0xFF, (band >> 16) & 0xFF) << std::hex << band;  // more blue than red
  EXPECT_EQ(0xF1F1F1u, at(3, 300));  // the light body beside the page area
}

TEST_F(SkeldonTest, FileLoadTypeReadsTheLooseBitmapsOfTheFolder) {
  // The build puts the loose files beside the programs.
  const std::wstring folder = testing_support::ExeFolder();
  BSTR path = SysAllocString(folder.c_str());
  ASSERT_EQ(S_OK, mgr()->Init(LOADTYPE_FILES, path));
  SysFreeString(path);
  for (const auto& row : kBitmaps) {
    SCOPED_TRACE(row.id);
    wchar_t buf[MAX_PATH] = {};
    WCHAR* bufPtr = buf;
    LONG len = MAX_PATH;
    EXPECT_EQ(S_OK, mgr()->QueryResPathById(row.id, &bufPtr, &len));
    EXPECT_EQ(folder + L"\\" + row.file, buf);
    HANDLE bmp = nullptr;
    EXPECT_EQ(S_OK, mgr()->LoadRes(row.id, 0, &bmp));
    ASSERT_NE(nullptr, bmp);
    LONG w = 0, h = 0;
    mgr()->GetBmpSize(bmp, &w, &h);
    EXPECT_EQ(row.width, w);
    EXPECT_EQ(row.height, h);
    mgr()->FreeRes(bmp);
  }
}

TEST_F(SkeldonTest, FileLoadTypeReadsFromTheFolderGiven) {
  testing_support::TempDir dir(L"皮肤");
  // A different picture under the main window's name: the file, not the
  // module, must answer.
  const std::wstring folder = testing_support::ExeFolder();
  ASSERT_TRUE(CopyFileW((folder + L"\\btn_ok.bmp").c_str(), (dir / L"mwnd.bmp").c_str(), FALSE));
  BSTR path = SysAllocString(dir.path().c_str());
  mgr()->Init(LOADTYPE_FILES, path);
  SysFreeString(path);
  wchar_t buf[MAX_PATH] = {};
  WCHAR* bufPtr = buf;
  LONG len = MAX_PATH;
  mgr()->QueryResPathById(0x10000001, &bufPtr, &len);
  EXPECT_EQ(dir / L"mwnd.bmp", buf);
  HANDLE bmp = nullptr;
  mgr()->LoadRes(0x10000001, 1, &bmp);
  ASSERT_NE(nullptr, bmp);
  LONG w = 0, h = 0;
  mgr()->GetBmpSize(bmp, &w, &h);
  EXPECT_EQ(500, w);
  EXPECT_EQ(30, h);
  mgr()->FreeRes(bmp);
  // Load type 1 leaves GetBmpSizeById on the files as well.
  mgr()->GetBmpSizeById(0x10000001, &w, &h);
  EXPECT_EQ(500, w);
}

TEST_F(SkeldonTest, ResourcePaths) {
  wchar_t buf[MAX_PATH];
  WCHAR* bufPtr = buf;
  LONG len = MAX_PATH;
  // Without a folder: the program's folder (ending in a backslash), a
  // backslash, the name.
  mgr()->Init(LOADTYPE_FILES, nullptr);
  mgr()->QueryResPathById(0x10000002, &bufPtr, &len);
  EXPECT_EQ(testing_support::ExeFolder() + L"\\\\sbtn_help.bmp", buf);
  // An id without a row leaves the buffer alone.
  wcscpy(buf, L"untouched");
  EXPECT_EQ(S_OK, mgr()->QueryResPathById(0x10000016, &bufPtr, &len));
  EXPECT_STREQ(L"untouched", buf);
  // Init with another load type keeps the folder.
  BSTR f = SysAllocString(L"C:\\skin");
  mgr()->Init(LOADTYPE_FILES, f);
  SysFreeString(f);
  f = SysAllocString(L"D:\\other");
  mgr()->Init(LOADTYPE_MODULE, f);
  SysFreeString(f);
  mgr()->QueryResPathById(0x1000002A, &bufPtr, &len);
  EXPECT_STREQ(L"C:\\skin\\dlg-about.bmp", buf);
  // Too small a buffer: an empty text and a failure, not a cut path.
  LONG small = 10;
  EXPECT_TRUE(FAILED(mgr()->QueryResPathById(0x1000002A, &bufPtr, &small)));
  EXPECT_STREQ(L"", buf);
  // A folder that does not fit is refused and the old one kept.
  std::wstring tooLong(300, L'x');
  f = SysAllocString(tooLong.c_str());
  EXPECT_TRUE(FAILED(mgr()->Init(LOADTYPE_FILES, f)));
  SysFreeString(f);
  mgr()->QueryResPathById(0x1000002A, &bufPtr, &len);
  EXPECT_STREQ(L"C:\\skin\\dlg-about.bmp", buf);
}

TEST_F(SkeldonTest, UnknownLoadTypeLoadsNothingAndSaysNothing) {
  mgr()->Init(5, nullptr);
  HANDLE bmp = reinterpret_cast<HANDLE>(1);
  EXPECT_EQ(S_OK, mgr()->LoadRes(0x10000001, 2, &bmp));
  EXPECT_EQ(nullptr, bmp);
}

TEST_F(SkeldonTest, IdentityAndReferenceCounts) {
  IUnknown* unk = nullptr;
  ASSERT_EQ(S_OK, mgr()->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unk)));
  vek_IResMgr* again = nullptr;
  ASSERT_EQ(S_OK, unk->QueryInterface(IID_vek_IResMgr, reinterpret_cast<void**>(&again)));
  EXPECT_EQ(mgr(), again);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE, mgr()->QueryInterface(IID_IDispatch, &other));
  EXPECT_EQ(nullptr, other);
  // One from creation, one each from the two queries.
  EXPECT_EQ(4u, mgr()->AddRef());
  EXPECT_EQ(3u, mgr()->Release());
  EXPECT_EQ(2u, again->Release());
  EXPECT_EQ(1u, unk->Release());
}

// An outer object that aggregates ResMgr and counts its own references.
class Outer : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown)) {
      *out = this;
      AddRef();
      return S_OK;
    }
    return inner->QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  ULONG refs = 1;
  IUnknown* inner = nullptr;
};

TEST(SkeldonAggregation, InnerDelegatesToTheOuterObject) {
  ComMgrInit();
  ComRegSvr(SkeldonPath().c_str(), CLSID_ResMgr);
  Outer outer;
  vek_IResMgr* direct = reinterpret_cast<vek_IResMgr*>(1);
  EXPECT_EQ(CLASS_E_NOAGGREGATION, ComCreateInst(CLSID_ResMgr, &outer, CLSCTX_INPROC_SERVER,
                                                 IID_vek_IResMgr,
                                                 reinterpret_cast<void**>(&direct)));
  EXPECT_EQ(nullptr, direct);
  ASSERT_EQ(S_OK, ComCreateInst(CLSID_ResMgr, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(&outer.inner)));
  ASSERT_NE(nullptr, outer.inner);
  EXPECT_EQ(1u, outer.refs);

  vek_IResMgr* mgr = nullptr;
  ASSERT_EQ(S_OK, outer.QueryInterface(IID_vek_IResMgr, reinterpret_cast<void**>(&mgr)));
  EXPECT_EQ(2u, outer.refs);  // the interface's reference went to the outer object
  IUnknown* identity = nullptr;
  mgr->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
  EXPECT_EQ(static_cast<IUnknown*>(&outer), identity);
  identity->Release();
  WCHAR* text = nullptr;
  EXPECT_EQ(S_OK, mgr->GetTxt(0x70000004, &text));
  EXPECT_STREQ(L"设置", text);
  mgr->Release();
  EXPECT_EQ(1u, outer.refs);
  EXPECT_EQ(0u, outer.inner->Release());  // the inner object goes
  ComUnregSvr(CLSID_ResMgr);
  ComMgrUninit();
}

using CanUnloadFn = HRESULT(WINAPI*)();
using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using PlainFn = HRESULT(WINAPI*)();
using InstallFn = HRESULT(WINAPI*)(BOOL, LPCWSTR);

template <typename Fn>
Fn Export(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

TEST(SkeldonModule, UnloadsOnlyWhenNothingIsHeld) {
  HMODULE dat = LoadLibraryW(SkeldonPath().c_str());
  ASSERT_NE(nullptr, dat);
  auto canUnload = Export<CanUnloadFn>(dat, "DllCanUnloadNow");
  auto getClassObject = Export<GetClassObjectFn>(dat, "DllGetClassObject");
  ASSERT_NE(nullptr, canUnload);
  ASSERT_NE(nullptr, getClassObject);
  EXPECT_EQ(S_OK, canUnload());

  IClassFactory* factory = nullptr;
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
            getClassObject(IID_vek_IResMgr, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  ASSERT_EQ(S_OK,
            getClassObject(CLSID_ResMgr, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  EXPECT_EQ(S_FALSE, canUnload());  // a held factory keeps the module
  IClassFactory* second = nullptr;
  getClassObject(CLSID_ResMgr, IID_IClassFactory, reinterpret_cast<void**>(&second));
  EXPECT_EQ(factory, second);  // cached
  second->Release();

  vek_IResMgr* mgr = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_vek_IResMgr, reinterpret_cast<void**>(&mgr)));
  factory->Release();
  EXPECT_EQ(S_FALSE, canUnload());  // a live object keeps it too
  mgr->Release();
  EXPECT_EQ(S_OK, canUnload());

  getClassObject(CLSID_ResMgr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  factory->LockServer(TRUE);
  factory->Release();
  EXPECT_EQ(S_FALSE, canUnload());
  getClassObject(CLSID_ResMgr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  factory->LockServer(FALSE);
  factory->Release();
  EXPECT_EQ(S_OK, canUnload());
  FreeLibrary(dat);
}

TEST(SkeldonModule, RegistrationEntryPoints) {
  HMODULE dat = LoadLibraryW(SkeldonPath().c_str());
  ASSERT_NE(nullptr, dat);
  auto reg = Export<PlainFn>(dat, "DllRegisterServer");
  auto unreg = Export<PlainFn>(dat, "DllUnregisterServer");
  auto install = Export<InstallFn>(dat, "DllInstall");
  ASSERT_TRUE(reg && unreg && install);
  EXPECT_TRUE(FAILED(reg()));  // no registry scripts
  EXPECT_EQ(S_OK, unreg());
  EXPECT_TRUE(FAILED(install(TRUE, L"user")));
  EXPECT_EQ(S_OK, install(FALSE, L"user"));
  EXPECT_EQ(S_OK, install(FALSE, L"USER"));
  EXPECT_EQ(E_INVALIDARG, install(TRUE, L"machine"));
  EXPECT_EQ(E_INVALIDARG, install(TRUE, nullptr));
  FreeLibrary(dat);
}

TEST(SkeldonModule, TypeLibrary) {
  ITypeLib* lib = nullptr;
  ASSERT_EQ(S_OK, LoadTypeLibEx(SkeldonPath().c_str(), REGKIND_NONE, &lib));
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(S_OK, lib->GetLibAttr(&attr));
  EXPECT_TRUE(IsEqualGUID(LIBID_SkeldonLib, attr->guid));
  EXPECT_EQ(1, attr->wMajorVerNum);
  EXPECT_EQ(0, attr->wMinorVerNum);
  lib->ReleaseTLibAttr(attr);
  BSTR name = nullptr, doc = nullptr;
  ASSERT_EQ(S_OK, lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr));
  EXPECT_STREQ(L"SkeldonLib", name);
  EXPECT_STREQ(L"Skeldon 1.0 Type Library", doc);
  SysFreeString(name);
  SysFreeString(doc);

  ITypeInfo* cls = nullptr;
  ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(CLSID_ResMgr, &cls));
  cls->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr);
  EXPECT_STREQ(L"ResMgr", name);
  EXPECT_STREQ(L"ResMgr Class", doc);
  SysFreeString(name);
  SysFreeString(doc);
  cls->Release();

  ITypeInfo* info = nullptr;
  ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(IID_vek_IResMgr, &info));
  TYPEATTR* type = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&type));
  EXPECT_EQ(TKIND_INTERFACE, type->typekind);  // not dual
  const WORD funcs = type->cFuncs;
  info->ReleaseTypeAttr(type);
  const wchar_t* methods[] = {L"Init",         L"GetTxt",           L"GetMTxtItems",
                              L"GetMTxtItem",  L"QueryTxt",         L"QueryTxtInfo",
                              L"QueryResById", L"QueryResPathById", L"LoadRes",
                              L"FreeRes",      L"GetBmpSizeById",   L"GetBmpSize"};
  ASSERT_EQ(12, funcs);
  for (WORD i = 0; i < funcs; ++i) {
    FUNCDESC* fd = nullptr;
    ASSERT_EQ(S_OK, info->GetFuncDesc(i, &fd));
    BSTR names[4] = {};
    UINT count = 0;
    info->GetNames(fd->memid, names, 4, &count);
    EXPECT_STREQ(methods[i], names[0]);
    // Slots follow IUnknown's three.
    EXPECT_EQ(static_cast<SHORT>((3 + i) * sizeof(void*)), fd->oVft);
    if (i == 8) {  // LoadRes(nResId, nResType, pHandle)
      ASSERT_EQ(4u, count);
      EXPECT_STREQ(L"nResId", names[1]);
      EXPECT_STREQ(L"nResType", names[2]);
      EXPECT_STREQ(L"pHandle", names[3]);
    }
    for (BSTR& n : names) SysFreeString(n);
    info->ReleaseFuncDesc(fd);
  }
  info->Release();
  lib->Release();
}

}  // namespace
