#pragma once
// Multi-item texts: items separated by line feeds. A position ends an item
// when it holds a line feed or is the last unit of the text; the line feed
// itself is not part of the item, any other last unit is. So "a\nb\n" and
// "a\nb" both hold two items and an empty text holds none.
#include <windows.h>

namespace skeldon {

// Number of items of the zero-terminated text.
LONG CountTextItems(const WCHAR* text);

// Finds item `index` (0-based): its first unit and its length in units.
// False when the text has no such item.
bool FindTextItem(const WCHAR* text, LONG index, const WCHAR** start, size_t* length);

}  // namespace skeldon
