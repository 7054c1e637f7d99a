#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// The settings of the program. A key a file lacks reads as absent (its
// default); keys a program does not know are kept and never read.
constexpr std::int32_t CFGKEY_OUTPUT_DIR = 1;      // string slot: folder of converted files
constexpr std::int32_t CFGKEY_ENCODING_MODE = 2;   // int32: 0 detect, 1 manual choice of key 3
constexpr std::int32_t CFGKEY_ENCODING_INDEX = 3;  // int32: FileEncoding of the manual choice
constexpr std::int32_t CFGKEY_STANDARD = 4;        // int32: Traditional standard (engine/Standards.h)
// What the file pages write (pages/OutputOptions.h); a file without them
// reads the defaults, which are how the program always wrote.
constexpr std::int32_t CFGKEY_OUTPUT_ENCODING = 5;     // int32: OutputEncodingChoice, 0 UTF-8
constexpr std::int32_t CFGKEY_OUTPUT_PLACE = 6;        // int32: 0 output folder, 1 beside the source
constexpr std::int32_t CFGKEY_EXISTING_OUTPUT = 7;     // int32: 0 append, 1 replace, 2 keep both
constexpr std::int32_t CFGKEY_CONVERT_NAMES = 8;       // int32: 1 converts the output's name too
constexpr std::int32_t CFGKEY_INCLUDE_SUBFOLDERS = 9;  // int32: 1 a dropped folder's sub-folders too
constexpr std::int32_t CFGKEY_PROOF_EVERY_PLACE = 10;  // int32: 1 a text page marks every place
// Converting the clipboard from anywhere (clipconv/ClipboardOptions.h); a
// file without them reads the defaults: hotkeys on, Ctrl+Alt+F and
// Ctrl+Alt+J, the close button ending the program.
constexpr std::int32_t CFGKEY_HOTKEYS_ON = 20;      // int32: 1 on (absent: on), 0 off
constexpr std::int32_t CFGKEY_HOTKEY_SIM2TRA = 21;  // int32: modifiers << 16 | virtual key
constexpr std::int32_t CFGKEY_HOTKEY_TRA2SIM = 22;  // int32: as key 21
constexpr std::int32_t CFGKEY_KEEP_IN_TRAY = 23;    // int32: 1 the close button hides the window

// Why the last WriteValue stored nothing.
enum class CfgWriteFailure {
  None,
  CannotOpen,   // the file could not be opened (LastWriteError says why)
  OtherSize,    // the key holds a value of another size
  Full,         // the table has no free slot (100 keys), or the store would grow past its bound
  WriteFailed,  // the image was not written whole (LastWriteError says why)
};

// True for a folder that names one place whatever folder is current: a
// drive path ("C:\...") or a UNC path ("\\server\share...").
bool IsAbsoluteFolder(const wchar_t* path);

// What reads settings: the store itself (each read opens the file) or the
// values it held at one read (CfgValues).
class CfgReader {
 public:
  virtual ~CfgReader() = default;
  // Copies key's value into dst and returns its size; 0, copying nothing,
  // when the key is absent (or its file cannot be opened) or dstSize is
  // smaller than the value.
  virtual std::int32_t ReadValue(std::int32_t key, void* dst, std::int32_t dstSize) const = 0;
  // Reads a string slot into dst (260 units, zeroed first, always
  // terminated) and returns the stored size (0 when absent). Once
  // EnsureCurrent has given the default output folder, an output folder
  // that is not absolute (IsAbsoluteFolder) reads as that default.
  virtual std::int32_t ReadString(std::int32_t key, wchar_t* dst) const = 0;
};

// Every value of the store as it stood at one read (CfgStore::ReadAll),
// read with no further access to the file: a caller that needs several
// keys opens the file once, and waits for a busy file once.
class CfgValues : public CfgReader {
 public:
  std::int32_t ReadValue(std::int32_t key, void* dst, std::int32_t dstSize) const override;
  std::int32_t ReadString(std::int32_t key, wchar_t* dst) const override;

 private:
  friend class CfgStore;
  std::vector<unsigned char> image_;  // a sound image; empty: every key reads absent
  std::wstring defaultOutputDir_;
};

// The per-user settings file "Tarnwell.cfg", a key/value table (layout in
// CfgLayout.h). Nothing is cached: every read opens the file, loads it
// whole and closes it; every write loads it, changes the image and writes
// it back whole. The file's sharing modes are the only lock (readers share,
// a writer holds it alone, and an opener that meets a sharing violation
// retries every 200 ms for about two seconds), so threads and other running copies
// of the program may use it at once.
//
// A damaged file (too short, without the magic, or with header fields or
// entries that point outside it) reads as an empty store; a write then
// stores the empty store plus its value, and the next start resets it.
class CfgStore : public CfgReader {
 public:
  // Attempts at opening a file another reader or writer holds, a retry
  // delay apart: about two seconds in all.
  static constexpr int kOpenAttempts = 10;
  static constexpr DWORD kRetryDelayMs = 200;
  static constexpr int kPathUnits = 260;
  static constexpr int kStringUnits = 260;
  static constexpr int kStringSlotBytes = kStringUnits * 2;  // 520

  // A store over the file at `path` (copied; a path of 260 units or more
  // gives a store whose every operation fails). Instance uses the real
  // per-user path; tests use their own.
  explicit CfgStore(const wchar_t* path);
  CfgStore(const CfgStore&) = delete;
  CfgStore& operator=(const CfgStore&) = delete;

  // The process-wide store. The first call, made at start-up on the user
  // interface thread before any worker exists, builds the path under the
  // roaming application-data folder, creates its folders and, when the file
  // is not current, re-creates it with the defaults (EnsureCurrent).
  static CfgStore& Instance();
  // Deletes the process-wide store; called once by the shutdown routine.
  static void DeleteInstance();

  // One value (CfgReader), read with an open of its own.
  std::int32_t ReadValue(std::int32_t key, void* dst, std::int32_t dstSize) const override;
  // Every value at once, with one open of the file (waiting once for a
  // busy one). False when the file could not be opened (*openError says
  // why) or no memory was left; `values` then hold none, and every key
  // reads absent.
  bool ReadAll(CfgValues& values, DWORD* openError = nullptr) const;
  // Stores size bytes under key (adding the key, or overwriting its value
  // in place) and rewrites the file. Returns the bytes written (the whole
  // image), or 0 (LastWriteFailure says why; the file is then left alone)
  // when the file cannot be opened, or a new key finds all 100 slots of
  // the table taken. A table of a smaller capacity grows to 100 slots. A
  // key that holds a value of another size is rewritten at this size
  // (TakeRepaired then says so).
  std::int32_t WriteValue(std::int32_t key, const void* src, std::int32_t size);
  // A string slot (CfgReader), read with an open of its own.
  std::int32_t ReadString(std::int32_t key, wchar_t* dst) const override;
  // Stores str (up to 259 units) in a 520-byte slot; a missing or longer
  // string stores an all-zero slot. Returns WriteValue's result.
  std::int32_t WriteString(std::int32_t key, const wchar_t* str);
  // True when the file exists, is longer than 40 bytes, carries the magic,
  // is sound and has major version 2. Waits like a read for a writer to let
  // go of the file, so a busy file is never taken for a stale one.
  bool IsCurrent() const;
  // Writes the loaded image (the empty store for an absent or unrecognised
  // file) back with version 0x00020001. True when the write succeeded.
  bool Reset();
  // The start-up check: a file that is not current is deleted, reset and
  // given the defaults (output folder `defaultOutputDir`, created here;
  // mode 0; index 0). A file that cannot be opened (held by another
  // program, say) is left alone: the store then lives in memory for the
  // rest of the session, from the defaults, and Unreachable() says so.
  void EnsureCurrent(const wchar_t* defaultOutputDir);

  // True when the settings live in memory this session (the file could
  // not be opened at start); UnreachableError is the system's reason.
  bool Unreachable() const { return inMemory_; }
  DWORD UnreachableError() const { return unreachableError_; }
  // Why the last write stored nothing (None after a good one).
  CfgWriteFailure LastWriteFailure() const { return lastWriteFailure_; }
  DWORD LastWriteError() const { return lastWriteError_; }
  // True once after a write that found its key at another size and stored
  // it anew at the right one (the file had been damaged); clears it.
  bool TakeRepaired() { return repaired_.exchange(false); }

  const wchar_t* Path() const { return path_; }

  // How an opener that meets a sharing violation waits between its
  // attempts: Sleep by default; a test counts the waits instead.
  void SetRetryWait(std::function<void(DWORD)> wait) { retryWait_ = std::move(wait); }

  // "<appData>\Quorvane\Tarnwell\" into folder and that plus "Tarnwell.cfg"
  // into file (260 units each). False, leaving both empty, when they do not
  // fit.
  static bool ComposeSettingsPath(const wchar_t* appData, wchar_t* folder, wchar_t* file);

 private:
  std::vector<unsigned char>* Memory() const;

  wchar_t path_[kPathUnits] = {};
  wchar_t defaultOutputDir_[kPathUnits] = {};
  bool inMemory_ = false;
  mutable std::vector<unsigned char> memory_;
  mutable std::mutex memoryLock_;
  DWORD unreachableError_ = ERROR_SUCCESS;
  CfgWriteFailure lastWriteFailure_ = CfgWriteFailure::None;
  DWORD lastWriteError_ = ERROR_SUCCESS;
  std::atomic<bool> repaired_{false};
  std::function<void(DWORD)> retryWait_;
};
