#pragma once
#include <string>

namespace glyphmap {

// The full path of the module that holds this code (glyphmap.dll), empty
// when the system does not tell.
std::wstring OwnModulePath();

// The folder that holds glyphmap.dll, with its trailing backslash, in UTF-8
// (OpenCC opens files through UTF-8 paths, so Chinese folder names work).
std::string OwnFolderUtf8();

}  // namespace glyphmap
