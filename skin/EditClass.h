#pragma once
// The window class name of an edit box made for long texts (see
// LongTextEditClass in skin/SkinEdit.h); a resource script names it as a
// control's class.
#define LONG_TEXT_EDIT_CLASS "TarnwellLongTextEdit"
