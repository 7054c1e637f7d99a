#pragma once
// The class factory of ResMgr. One cached instance per module: its
// references lock the module, so a caller holding it keeps the DLL loaded.
#include <windows.h>
#include <unknwn.h>

namespace skeldon {

class CResMgrFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
};

}  // namespace skeldon
