#pragma once
// Resources of the program itself; the shared ids are in pages/PageIds.h.
#include "pages/PageIds.h"
