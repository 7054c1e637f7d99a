#pragma once
// modgate.dll: a per-process class lookup from a file path. A class id is
// registered with the server file that implements it; creating an instance
// loads the file, asks its DllGetClassObject for the class factory and
// creates the object. Nothing touches the system registry.
//
// Every function returns an HRESULT. Calls out of order fail cleanly:
// anything but ComMgrInit before ComMgrInit gives E_UNEXPECTED.
#include <windows.h>
#include <unknwn.h>

extern "C" {

// Starts the table. A second call only counts (S_FALSE); each call is
// paired with a ComMgrUninit.
long WINAPI ComMgrInit();

// Maps `clsid` to the server file `path` (replacing an earlier mapping).
// The file is loaded only when an instance is first created.
long WINAPI ComRegSvr(const wchar_t* path, REFCLSID clsid);

// Creates an instance of `clsid` (in-process servers only), as
// CoCreateInstance does; *out is null on failure.
long WINAPI ComCreateInst(REFCLSID clsid, IUnknown* outer, unsigned long context, REFIID iid,
                          void** out);

// Forgets the mapping of `clsid`. A server file no longer mapped is freed
// once it says it can unload; while its objects live it stays loaded.
long WINAPI ComUnregSvr(REFCLSID clsid);

// Ends the table: forgets every mapping and frees the server files that
// can unload.
long WINAPI ComMgrUninit();

}  // extern "C"
