#include "pages/OutputOptions.h"

#include "config/CfgStore.h"
#include "pages/UserWords.h"
#include "textio/TextEncoder.h"

namespace {

std::int32_t ReadInt(const CfgReader& store, std::int32_t key, std::int32_t count) {
  std::int32_t value = 0;
  if (store.ReadValue(key, &value, sizeof(value)) != sizeof(value)) return 0;
  return value >= 0 && value < count ? value : 0;
}

}  // namespace

OutputOptions ReadOutputOptions(const CfgReader& store) {
  OutputOptions o;
  o.encoding = ReadInt(store, CFGKEY_OUTPUT_ENCODING, OUTENC_COUNT);
  o.place = ReadInt(store, CFGKEY_OUTPUT_PLACE, OUTPLACE_COUNT);
  o.existing = ReadInt(store, CFGKEY_EXISTING_OUTPUT, EXISTING_COUNT);
  o.convertNames = ReadInt(store, CFGKEY_CONVERT_NAMES, 2) == 1;
  o.includeSubfolders = ReadInt(store, CFGKEY_INCLUDE_SUBFOLDERS, 2) == 1;
  return o;
}

const wchar_t* WriteOutputOptions(CfgStore& store, const OutputOptions& o) {
  const std::int32_t names = o.convertNames ? 1 : 0;
  const std::int32_t sub = o.includeSubfolders ? 1 : 0;
  const struct {
    std::int32_t key;
    const std::int32_t* value;
    const wchar_t* label;
  } items[] = {{CFGKEY_OUTPUT_ENCODING, &o.encoding, L"输出编码"},
               {CFGKEY_OUTPUT_PLACE, &o.place, L"输出位置"},
               {CFGKEY_EXISTING_OUTPUT, &o.existing, L"已有输出文件的处理方式"},
               {CFGKEY_CONVERT_NAMES, &names, L"同时转换文件名"},
               {CFGKEY_INCLUDE_SUBFOLDERS, &sub, L"包含子文件夹"}};
  for (const auto& item : items) {
    if (store.WriteValue(item.key, item.value, sizeof(std::int32_t)) == 0) return item.label;
  }
  return nullptr;
}

const wchar_t* OutputPlaceLabel(std::int32_t place) {
  return place == OUTPLACE_BESIDE_SOURCE ? L"源文件所在文件夹" : L"输出文件夹";
}

const wchar_t* ExistingOutputLabel(std::int32_t rule) {
  switch (rule) {
    case EXISTING_REPLACE: return L"替换";
    case EXISTING_KEEP_BOTH: return L"保留两者 (另存为新编号)";
    default: return L"追加到末尾";
  }
}

RunSettings ReadRunSettings(const CfgStore& store, ConvDirection direction, DWORD* unreadable) {
  // Every key from one read: a busy file is waited for once, not per key.
  CfgValues values;
  store.ReadAll(values, unreadable);
  RunSettings settings;
  settings.direction = direction;
  settings.conversion.standard = StoredStandard(values);
  settings.conversion.wordList = WordListPath(store, direction);
  settings.output = ReadOutputOptions(values);
  wchar_t folder[CfgStore::kStringUnits] = {};
  values.ReadString(CFGKEY_OUTPUT_DIR, folder);
  settings.outputFolder = folder;
  return settings;
}
