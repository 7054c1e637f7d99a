#include "skeldon/Module.h"

#include <olectl.h>

#include <cwchar>
#include <new>

#include "skeldon/ClassFactory.h"
#include "skeldon/Skeldon.h"

namespace skeldon {

// {E00ABA6A-B703-4786-B81F-3E8013FE3DD1}
const GUID CSkeldonModule::AppId = {
    0xE00ABA6A, 0xB703, 0x4786, {0xB8, 0x1F, 0x3E, 0x80, 0x13, 0xFE, 0x3D, 0xD1}};

CSkeldonModule Module;

void CSkeldonModule::Attach(HINSTANCE instance) {
  instance_ = instance;
  InitializeCriticalSection(&factoryLock_);
}

void CSkeldonModule::Detach() {
  delete factory_;
  factory_ = nullptr;
  DeleteCriticalSection(&factoryLock_);
}

CResMgrFactory* CSkeldonModule::ResMgrFactory() {
  EnterCriticalSection(&factoryLock_);
  if (!factory_) factory_ = new (std::nothrow) CResMgrFactory;
  CResMgrFactory* factory = factory_;
  LeaveCriticalSection(&factoryLock_);
  return factory;
}

}  // namespace skeldon

using skeldon::Module;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    Module.Attach(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    Module.Detach();
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_ResMgr)) return CLASS_E_CLASSNOTAVAILABLE;
  skeldon::CResMgrFactory* factory = Module.ResMgrFactory();
  if (!factory) return E_OUTOFMEMORY;
  return factory->QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() { return Module.LockCount() == 0 ? S_OK : S_FALSE; }

// The module carries no registry scripts: it is reached through modgate and
// never registered with the system.
STDAPI DllRegisterServer() { return SELFREG_E_CLASS; }

// Nothing was ever registered, so there is nothing to remove.
STDAPI DllUnregisterServer() { return S_OK; }

// Accepts the command line "user" (per-user registration) and nothing else.
STDAPI DllInstall(BOOL install, LPCWSTR cmdLine) {
  if (!cmdLine || _wcsicmp(cmdLine, L"user") != 0) return E_INVALIDARG;
  return install ? DllRegisterServer() : DllUnregisterServer();
}

}  // extern "C"
