#include "pages/PageRes.h"

std::wstring QueryText(long id) {
  vek_IResMgr* res = AppResMgr();
  if (res == nullptr) return {};
  wchar_t buffer[260] = {};
  WCHAR* out = buffer;
  long size = 260;
  if (FAILED(res->QueryTxt(id, &out, &size))) return {};
  buffer[259] = L'\0';
  return buffer;
}

std::wstring GetText(long id) {
  vek_IResMgr* res = AppResMgr();
  if (res == nullptr) return {};
  WCHAR* text = nullptr;
  if (FAILED(res->GetTxt(id, &text)) || text == nullptr) return {};
  return text;
}
