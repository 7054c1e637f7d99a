#pragma once
// The constant tables compiled into skeldon.dat: bitmaps, the raw-resource
// placeholder and every user-visible text of the program.
#include <windows.h>

#include <cstddef>

#include "skeldon/Skeldon.h"

namespace skeldon {

// A row of the text table: 2052 bytes, the text zero-padded to 1024 units.
struct ResTextRow {
  LONG id;
  WCHAR text[1024];
};
static_assert(sizeof(ResTextRow) == 2052);
static_assert(sizeof(stResInfo) == 528);

extern const stResInfo ResBitmapTable[];
extern const size_t ResBitmapCount;
extern const stResInfo ResRawTable[];
extern const size_t ResRawCount;
extern const ResTextRow ResTextTable[];
extern const size_t ResTextCount;

// First row with the id, or null. Rows are searched in table order.
const stResInfo* FindBitmapRow(LONG id);
const stResInfo* FindRawRow(LONG id);
const ResTextRow* FindTextRow(LONG id);

}  // namespace skeldon
