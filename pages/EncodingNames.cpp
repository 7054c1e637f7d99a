#include "pages/EncodingNames.h"

#include "pages/PageRes.h"
#include "skeldon/ResIds.h"

TextList LoadEncodingNames() {
  TextList names;
  names.Load(QueryText(TXT_ENCODINGS).c_str());
  return names;
}

std::wstring EncodingName(const TextList& names, FileEncoding encoding) {
  wchar_t item[260] = {};
  if (!names.GetItem(encoding, item, sizeof(item))) return {};
  return item;
}

void FillEncodingCombo(fw::CComboBox& combo) {
  const TextList names = LoadEncodingNames();
  for (std::int32_t i = 0; i < names.count; ++i) combo.AddString(EncodingName(names, i).c_str());
}
