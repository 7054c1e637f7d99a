#include "loader/ResMgrHolder.h"

#include <cstdint>
#include <cwchar>
#include <new>

#include "config/ModuleFolder.h"
#include "loader/ComponentApi.h"
#include "skeldon/ResIds.h"

namespace {

const ComponentEntry kComponents[] = {
    {L"skeldon.dat", CLSID_ResMgr},
};

// Process-wide objects: created on first use on the user-interface thread,
// deleted only by ShutdownComponents.
struct RegistrationState {
  bool registered = false;
};
RegistrationState* registration = nullptr;
ResMgrHolder* holder = nullptr;

}  // namespace

void RegisterComponents() {
  if (registration) return;
  registration = new (std::nothrow) RegistrationState;
  if (!registration) return;
  const ComponentApi& api = Components();
  api.mgrInit();
  for (const ComponentEntry& entry : kComponents) {
    wchar_t path[MAX_PATH] = {};
    const std::int32_t folder = ModuleFolder(path);
    if (folder == 0 || folder >= MAX_PATH) continue;
    if (wcslen(path) + wcslen(entry.file) >= MAX_PATH) continue;
    wcscat(path, entry.file);
    api.regSvr(path, entry.clsid);
  }
  registration->registered = true;
}

ResMgrHolder* GetResMgr() {
  if (holder) return holder;
  holder = new (std::nothrow) ResMgrHolder;
  if (!holder) return nullptr;
  RegisterComponents();
  void* created = nullptr;
  long hr = Components().createInst(kComponents[0].clsid, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_vek_IResMgr, &created);
  if (hr >= 0 && created) {
    holder->resMgr = static_cast<vek_IResMgr*>(created);
    holder->resMgr->Init(LOADTYPE_MODULE, nullptr);
  }
  return holder;
}

void ShutdownComponents() {
  if (holder) {
    if (holder->resMgr) holder->resMgr->Release();
    holder->resMgr = nullptr;
    delete holder;
    holder = nullptr;
  }
  if (registration) {
    const ComponentApi& api = Components();
    for (const ComponentEntry& entry : kComponents) api.unregSvr(entry.clsid);
    api.mgrUninit();
    delete registration;
    registration = nullptr;
  }
}
