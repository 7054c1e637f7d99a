// Helper process for the settings store's tests:
//   config_store_writer PATH FIRST COUNT EVENT
// sets the event EVENT-ready once it is set up, waits for the named event
// EVENT, then adds keys FIRST .. FIRST+COUNT-1 (value
// key*7), reading each back. Exit code 0 when every write landed and read
// back, else the failed step.
#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "config/CfgStore.h"

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 5) return 10;
  CfgStore store(argv[1]);
  const int first = _wtoi(argv[2]);
  const int count = _wtoi(argv[3]);
  HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, argv[4]);
  const std::wstring readyName = std::wstring(argv[4]) + L"-ready";
  LocalFree(argv);
  if (!go) return 11;
  // Says it is ready to write, so that the test lets both sides go at once.
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, readyName.c_str());
  if (!ready || !SetEvent(ready)) return 13;
  CloseHandle(ready);
  const DWORD waited = WaitForSingleObject(go, 60000);
  CloseHandle(go);
  if (waited != WAIT_OBJECT_0) return 12;
  for (int key = first; key < first + count; ++key) {
    const std::int32_t value = key * 7;
    if (store.WriteValue(key, &value, 4) == 0) return 2;
    std::int32_t back = -1;
    if (store.ReadValue(key, &back, 4) != 4 || back != value) return 3;
  }
  return 0;
}
