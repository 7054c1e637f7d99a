#pragma once
// The names of the four FileEncoding values as the user sees them (the
// resource pack's list "ANSI\nUnicode\nUnicode big endian\nUTF-8\n").
#include <string>

#include "config/TextList.h"
#include "fw/Controls.h"
#include "textio/FileEncoding.h"

// The list from the resource pack; empty without one.
TextList LoadEncodingNames();
// Item `encoding` of `names`; empty when there is no such item.
std::wstring EncodingName(const TextList& names, FileEncoding encoding);
// Adds the names to `combo` in order, so that item i names FileEncoding i.
void FillEncodingCombo(fw::CComboBox& combo);
