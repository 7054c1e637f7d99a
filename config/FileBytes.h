#pragma once
// Two small routines the conversion jobs and the file pages share.
#include <cstddef>
#include <cstdint>
#include <memory>

// The size of the file at `path`, opened for reading as the readers open
// it (shared with nobody); 0 when it cannot be opened.
std::uint64_t FileSizeOf(const wchar_t* path);

// `size` zero-filled bytes, or null when the memory is not there.
std::unique_ptr<char[]> AllocZeroed(std::size_t size);
