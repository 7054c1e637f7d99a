#pragma once
// Checks made on a source before its bytes are taken for text: that its
// name does not stand for a device, that an open handle is a file on a
// disk, and that its first bytes look like text in some candidate encoding.
#include <windows.h>

#include <cstddef>
#include <vector>

// The most of a file's start that LooksLikeText looks at.
constexpr size_t kTextSampleBytes = 65536;

// True when the system takes `path` for a device rather than a file: its
// full name (GetFullPathNameW) is a device path ("\\.\..."), as "aux.txt"
// or "nul" give on Windows 10 and earlier and under Wine. Such a path is
// refused without being opened.
bool NamesDevice(const wchar_t* path);

// True when `file` is an ordinary file on a disk (not a device, pipe or
// console).
bool IsDiskFile(HANDLE file);

// The encodings a source is tried in: UTF-8, UTF-16 in both orders, the
// system's code page, GBK, Big5 and `codePage` when it is not 0.
std::vector<UINT> CandidateCodePages(UINT codePage);

// False when the first kTextSampleBytes of `sample` are plainly not text:
// many zero bytes that no clean UTF-16 reading explains (JudgeZeroBytes), or invalid sequences and
// control bytes in most of the sample under every code page of
// `candidates` (CP_UTF8, 1200 and 1201 for UTF-16, or a code page the
// system decodes). A byte-order mark, an empty sample and a few stray zero
// bytes pass.
bool LooksLikeText(const unsigned char* sample, size_t size, const std::vector<UINT>& candidates);
