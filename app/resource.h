#pragma once
// Resources of the program itself; the shared ids are in pages/PageIds.h.
#include "pages/PageIds.h"

// A plain page that holds a file page's slot until that page exists.
#define IDD_PAGE_PLACEHOLDER 190
#define IDC_PLACEHOLDER_TEXT 1900
