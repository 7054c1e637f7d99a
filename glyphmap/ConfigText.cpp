#include "glyphmap/ConfigText.h"

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
    files.emplace_back(file->value.GetString(), file->value.GetStringLength());
  }
  for (auto& member : node.GetObject()) Walk(member.value, alloc, files);
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
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  doc.Accept(writer);
  out.json.assign(buffer.GetString(), buffer.GetSize());
  return out;
}

}  // namespace glyphmap
