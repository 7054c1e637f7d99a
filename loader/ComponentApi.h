#pragma once
// The five calls of the component loader that the program makes, as a
// table of functions: modgate.dll's own by default. Tests put a recording
// table in its place to watch the order of the calls.
#include <windows.h>
#include <unknwn.h>

struct ComponentApi {
  long(WINAPI* mgrInit)();
  long(WINAPI* regSvr)(const wchar_t* path, REFCLSID clsid);
  long(WINAPI* createInst)(REFCLSID clsid, IUnknown* outer, unsigned long context, REFIID iid,
                           void** out);
  long(WINAPI* unregSvr)(REFCLSID clsid);
  long(WINAPI* mgrUninit)();
};

// The table in use.
const ComponentApi& Components();

// Tests only: uses `api` from now on (null: modgate's again).
void SetComponentApiForTests(const ComponentApi* api);
