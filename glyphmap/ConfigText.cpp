#include "glyphmap/ConfigText.h"

#include <algorithm>
#include <stdexcept>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace glyphmap {
namespace {

using Value = rapidjson::Value;

void Walk(Value& node, rapidjson::Document::AllocatorType& alloc,
          std::vector<std::string>& files) {
  if (node.IsArray()) {
    for (auto& item : node.GetArray()) Walk(item, alloc, files);
    return;
  }
  if (!node.IsObject()) return;

  auto type = node.FindMember("type");
  bool isGroup = type != node.MemberEnd() && type->value.IsString() &&
                 std::string_view(type->value.GetString()) == "group";
  if (isGroup && !node.HasMember("match_policy")) {
    node.AddMember("match_policy", "short_circuit", alloc);
  }
  auto file = node.FindMember("file");
  if (file != node.MemberEnd() && file->value.IsString()) {
    std::string name(file->value.GetString(), file->value.GetStringLength());
    // Each file once: a later open checks every file's stamp.
    if (std::find(files.begin(), files.end(), name) == files.end()) files.push_back(std::move(name));
  }
  for (auto& member : node.GetObject()) Walk(member.value, alloc, files);
}

bool HasOnly(const Value& object, std::initializer_list<std::string_view> keys) {
  for (const auto& member : object.GetObject()) {
    std::string_view name(member.name.GetString(), member.name.GetStringLength());
    bool known = false;
    for (std::string_view k : keys) known = known || name == k;
    if (!known) return false;
  }
  return true;
}

bool IsString(const Value& object, const char* key, std::string_view expected = {}) {
  auto it = object.FindMember(key);
  if (it == object.MemberEnd() || !it->value.IsString()) return false;
  return expected.empty() ||
         std::string_view(it->value.GetString(), it->value.GetStringLength()) == expected;
}

// {"type": "text", "file": "..."} and nothing else.
bool TextDict(const Value& dict, std::string& file) {
  if (!dict.IsObject() || !HasOnly(dict, {"type", "file"}) || !IsString(dict, "type", "text") ||
      !IsString(dict, "file")) {
    return false;
  }
  file = dict["file"].GetString();
  // Bare file names only: they name files beside glyphmap.dll.
  return !file.empty() && file.find_first_of("/\\:") == std::string::npos;
}

void ReadPlainShape(const Value& doc, PreparedConfig& out) {
  if (!HasOnly(doc, {"name", "segmentation", "conversion_chain"})) return;
  if (!doc.HasMember("segmentation") || !doc.HasMember("conversion_chain")) return;
  const Value& seg = doc["segmentation"];
  if (!seg.IsObject() || !HasOnly(seg, {"type", "dict"}) || !IsString(seg, "type", "mmseg") ||
      !seg.HasMember("dict") || !TextDict(seg["dict"], out.segmentationFile)) {
    return;
  }
  const Value& chain = doc["conversion_chain"];
  if (!chain.IsArray() || chain.Size() != 1) return;
  const Value& step = chain[0];
  if (!step.IsObject() || !HasOnly(step, {"dict"}) || !step.HasMember("dict")) return;
  const Value& dict = step["dict"];
  std::string file;
  if (TextDict(dict, file)) {
    out.conversionFiles = {file};
  } else {
    if (!dict.IsObject() || !HasOnly(dict, {"type", "dicts", "match_policy"}) ||
        !IsString(dict, "type", "group") || !IsString(dict, "match_policy", "short_circuit") ||
        !dict.HasMember("dicts") || !dict["dicts"].IsArray() || dict["dicts"].Empty()) {
      return;
    }
    for (const auto& item : dict["dicts"].GetArray()) {
      if (!TextDict(item, file)) return;
      out.conversionFiles.push_back(file);
    }
  }
  out.plainShape = true;
}

std::string Serialize(const Value& value) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  value.Accept(writer);
  return std::string(buffer.GetString(), buffer.GetSize());
}

}  // namespace

PreparedConfig PrepareConfig(std::string_view text) {
  // The same parse options as OpenCC's own reader.
  rapidjson::Document doc;
  std::string copy(text);
  doc.Parse<rapidjson::kParseCommentsFlag | rapidjson::kParseTrailingCommasFlag>(copy.c_str());
  if (doc.HasParseError() || !doc.IsObject()) {
    throw std::runtime_error(
        "转换配置不是有效的 JSON 对象 / The conversion configuration is not a valid JSON object");
  }
  PreparedConfig out;
  Walk(doc, doc.GetAllocator(), out.dictionaryFiles);
  ReadPlainShape(doc, out);
  if (!out.plainShape) {
    out.segmentationFile.clear();
    out.conversionFiles.clear();
  }
  auto normalization = doc.FindMember("normalization");
  if (normalization != doc.MemberEnd()) {
    rapidjson::Document norm;
    norm.SetObject();
    norm.AddMember("name", "normalization", norm.GetAllocator());
    Value chain(normalization->value, norm.GetAllocator());
    norm.AddMember("conversion_chain", chain, norm.GetAllocator());
    out.normalizationJson = Serialize(norm);
  }
  out.json = Serialize(doc);
  return out;
}

}  // namespace glyphmap
