#pragma once
// The program's binding to the resource pack: skeldon.dat, beside the
// program, registered with modgate for this process only, and the one
// resource manager created from it at start-up and released at exit.
#include "skeldon/Skeldon.h"

// The process-wide holder of the one resource manager. `resMgr` is null
// when the pack could not be reached.
struct ResMgrHolder {
  vek_IResMgr* resMgr = nullptr;
};

// The components the program registers: file name beside the program, and
// the class it serves.
struct ComponentEntry {
  wchar_t file[32];
  CLSID clsid;
};

// Registers the table's components with modgate; runs once, later calls
// return at once.
void RegisterComponents();

// The holder, created on first call (registering the components and
// creating the resource manager, which is told to serve from the module).
ResMgrHolder* GetResMgr();

// Shutdown, in this order: release the resource manager and free the
// holder; then, if the components were registered, unregister each and
// shut modgate down once. Safe to call when nothing was created.
void ShutdownComponents();
