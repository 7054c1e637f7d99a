#pragma once
// The one rule for a folder the user may name, and the one way its missing
// levels are made. A folder path is absolute, "X:\a\b[\]" with X an ASCII
// letter; a drive root "X:\" is a folder path too. It is shorter than 260
// units, and no component is empty, starts or ends with a dot, space or
// tab, or holds one of " * / : < > ? |. Relative and UNC paths are not.
#include <cstdint>

// True when `path` is a folder path by the rule above (nothing is looked
// up on the disk).
bool IsFolderPath(const wchar_t* path);

// Creates every missing folder of a folder path, component by component.
// Returns 0 when the whole path exists afterwards (a drive root: when the
// drive exists), 2 when the path breaks the rule, its drive is missing, or
// a folder cannot be created. Folders made before a failure stay.
std::int32_t MakeDirs(const wchar_t* path);
