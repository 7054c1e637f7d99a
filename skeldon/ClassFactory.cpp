#include "skeldon/ClassFactory.h"

#include "skeldon/Module.h"
#include "skeldon/ResMgr.h"

namespace skeldon {

HRESULT STDMETHODCALLTYPE CResMgrFactory::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
    return E_NOINTERFACE;
  }
  *out = static_cast<IClassFactory*>(this);
  AddRef();
  return S_OK;
}

// The factory itself is cached by the module; what its references count is
// the module's lock.
ULONG STDMETHODCALLTYPE CResMgrFactory::AddRef() { return static_cast<ULONG>(Module.Lock()); }

ULONG STDMETHODCALLTYPE CResMgrFactory::Release() { return static_cast<ULONG>(Module.Unlock()); }

HRESULT STDMETHODCALLTYPE CResMgrFactory::CreateInstance(IUnknown* outer, REFIID iid,
                                                         void** out) {
  return CResMgr::Create(outer, iid, out);
}

HRESULT STDMETHODCALLTYPE CResMgrFactory::LockServer(BOOL lock) {
  if (lock) {
    Module.Lock();
  } else {
    Module.Unlock();
  }
  return S_OK;
}

}  // namespace skeldon
