#include "modgate/ClassTable.h"

#include <algorithm>

namespace modgate {

namespace {

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

ClassTable& Table() {
  static ClassTable table;
  return table;
}

HRESULT ClassTable::Init() {
  std::lock_guard<std::mutex> hold(lock_);
  return ++inits_ == 1 ? S_OK : S_FALSE;
}

HRESULT ClassTable::Register(const wchar_t* path, REFCLSID clsid) {
  if (!path || !*path) return E_INVALIDARG;
  std::lock_guard<std::mutex> hold(lock_);
  if (inits_ == 0) return E_UNEXPECTED;
  if (Entry* entry = FindEntry(clsid)) {
    entry->path = path;
  } else {
    entries_.push_back(Entry{clsid, path});
  }
  FreeUnusedServers();  // a replaced mapping may leave a server unused
  return S_OK;
}

HRESULT ClassTable::Create(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                           void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  GetClassObjectFn getClassObject = nullptr;
  HMODULE pin = nullptr;
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (inits_ == 0) return E_UNEXPECTED;
    Entry* entry = FindEntry(clsid);
    if (!entry || !(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    HRESULT hr = PinClassObject(entry->path, &getClassObject, &pin);
    if (FAILED(hr)) return hr;
  }
  // The server runs outside the lock: its creation may call back in here.
  IClassFactory* factory = nullptr;
  HRESULT hr = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (SUCCEEDED(hr) && factory) {
    hr = factory->CreateInstance(outer, iid, out);
    factory->Release();
  } else if (SUCCEEDED(hr)) {
    hr = E_UNEXPECTED;  // success without a factory
  }
  if (FAILED(hr)) *out = nullptr;
  FreeLibrary(pin);
  return hr;
}

HRESULT ClassTable::Unregister(REFCLSID clsid) {
  std::lock_guard<std::mutex> hold(lock_);
  if (inits_ == 0) return E_UNEXPECTED;
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const Entry& e) { return IsEqualCLSID(e.clsid, clsid); });
  if (it == entries_.end()) return REGDB_E_CLASSNOTREG;
  entries_.erase(it);
  FreeUnusedServers();
  return S_OK;
}

HRESULT ClassTable::Uninit() {
  std::lock_guard<std::mutex> hold(lock_);
  if (inits_ == 0) return E_UNEXPECTED;
  if (--inits_ > 0) return S_OK;
  entries_.clear();
  FreeUnusedServers();
  // Servers whose objects still live stay loaded for the rest of the
  // process: freeing them would pull the code from under those objects.
  servers_.clear();
  return S_OK;
}

ClassTable::Entry* ClassTable::FindEntry(REFCLSID clsid) {
  for (Entry& e : entries_) {
    if (IsEqualCLSID(e.clsid, clsid)) return &e;
  }
  return nullptr;
}

HRESULT ClassTable::PinClassObject(const std::wstring& path, GetClassObjectFn* fn,
                                   HMODULE* pin) {
  auto server = std::find_if(servers_.begin(), servers_.end(),
                             [&](const Server& s) { return SamePath(s.path, path); });
  if (server == servers_.end()) {
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) return HRESULT_FROM_WIN32(GetLastError());
    servers_.push_back(Server{path, module});
    server = servers_.end() - 1;
  }
  FARPROC proc = GetProcAddress(server->module, "DllGetClassObject");
  if (!proc) return CO_E_ERRORINDLL;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(proc), pin)) {
    return HRESULT_FROM_WIN32(GetLastError());
  }
  *fn = reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(proc));
  return S_OK;
}

void ClassTable::FreeUnusedServers() {
  using CanUnloadFn = HRESULT(WINAPI*)();
  for (auto it = servers_.begin(); it != servers_.end();) {
    bool mapped = std::any_of(entries_.begin(), entries_.end(),
                              [&](const Entry& e) { return SamePath(e.path, it->path); });
    auto canUnload = reinterpret_cast<CanUnloadFn>(
        reinterpret_cast<void*>(GetProcAddress(it->module, "DllCanUnloadNow")));
    if (!mapped && (!canUnload || canUnload() == S_OK)) {
      FreeLibrary(it->module);
      it = servers_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace modgate
