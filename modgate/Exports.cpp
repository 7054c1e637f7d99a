// modgate.dll's exports. No exception leaves them: the table's only throws
// are allocation failures.
#include <new>

#include "modgate/ClassTable.h"
#include "modgate/modgate.h"

using modgate::Table;

extern "C" {

long WINAPI ComMgrInit() { return Table().Init(); }

long WINAPI ComRegSvr(const wchar_t* path, REFCLSID clsid) {
  try {
    return Table().Register(path, clsid);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

long WINAPI ComCreateInst(REFCLSID clsid, IUnknown* outer, unsigned long context, REFIID iid,
                          void** out) {
  try {
    return Table().Create(clsid, outer, context, iid, out);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

long WINAPI ComUnregSvr(REFCLSID clsid) { return Table().Unregister(clsid); }

long WINAPI ComMgrUninit() { return Table().Uninit(); }

}  // extern "C"
