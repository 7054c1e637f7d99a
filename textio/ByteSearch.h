#pragma once
#include <cstddef>

// The first `byte` among the `size` bytes at `from`, or null when there is
// none. The C runtime's memchr under Wine looks at one byte per step, and a
// file of short lines is searched through once per line: this looks at
// sixteen at a time with SSE2, else eight (FindByteInWords).
const unsigned char* FindByte(const unsigned char* from, std::size_t size, unsigned char byte);

// The same search eight bytes at a time, for processors without SSE2.
const unsigned char* FindByteInWords(const unsigned char* from, std::size_t size,
                                     unsigned char byte);
