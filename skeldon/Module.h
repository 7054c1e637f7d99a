#pragma once
// CSkeldonModule: the server's module object. It knows the module's
// instance handle, counts the locks that keep the DLL loaded (objects,
// class factory references and LockServer) and caches the class factory.
#include <windows.h>

#include <atomic>

namespace skeldon {

class CResMgrFactory;

class CSkeldonModule {
 public:
  // The application id the server declares.
  static const GUID AppId;

  void Attach(HINSTANCE instance);
  void Detach();
  HINSTANCE Instance() const { return instance_; }

  LONG Lock() { return ++locks_; }
  LONG Unlock() { return --locks_; }
  LONG LockCount() const { return locks_.load(); }

  // The class factory of ResMgr, created on first request and kept until
  // the module unloads. Null when it cannot be allocated.
  CResMgrFactory* ResMgrFactory();

 private:
  HINSTANCE instance_ = nullptr;
  std::atomic<LONG> locks_{0};
  CRITICAL_SECTION factoryLock_;
  CResMgrFactory* factory_ = nullptr;
};

// The one module object of skeldon.dat.
extern CSkeldonModule Module;

}  // namespace skeldon
