#pragma once
#include <cstdint>

// Creates every missing folder of an absolute path "X:\a\b[\]". Returns 0
// when the whole path exists afterwards, 2 when the path is not of that form
// (relative, UNC, a component that is empty, starts or ends with a dot,
// space or tab, or holds one of " * / : < > ? |), is 260 units or longer, or
// a folder cannot be created. Folders made before a failure stay.
std::int32_t MakeDirs(const wchar_t* path);
