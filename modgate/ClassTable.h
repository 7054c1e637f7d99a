#pragma once
// The table behind modgate's exports: class ids mapped to server files,
// and the server files loaded so far. Thread-safe.
#include <windows.h>
#include <unknwn.h>

#include <mutex>
#include <string>
#include <vector>

namespace modgate {

class ClassTable {
 public:
  HRESULT Init();
  HRESULT Register(const wchar_t* path, REFCLSID clsid);
  HRESULT Create(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out);
  HRESULT Unregister(REFCLSID clsid);
  HRESULT Uninit();

 private:
  struct Entry {
    CLSID clsid;
    std::wstring path;
  };
  struct Server {
    std::wstring path;
    HMODULE module;
  };
  using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

  Entry* FindEntry(REFCLSID clsid);
  // Loads (or finds) the server file and returns its DllGetClassObject with
  // an extra reference on the module in *pin, so that the call can run
  // outside the lock.
  HRESULT PinClassObject(const std::wstring& path, GetClassObjectFn* fn, HMODULE* pin);
  // Frees the loaded servers that no entry maps any more and that agree to
  // unload.
  void FreeUnusedServers();

  std::mutex lock_;
  int inits_ = 0;
  std::vector<Entry> entries_;
  std::vector<Server> servers_;
};

// The process-wide table.
ClassTable& Table();

}  // namespace modgate
