// Default-taking reads and the font, window placement and column width routines.
#include "config/safe_registry.h"

namespace qv {

std::string TSafeRegistry::ReadStrDef(std::string_view name, std::string_view def) const {
  return qv::ReadStrDef(*this, name, def);
}

std::int32_t TSafeRegistry::ReadIntDef(std::string_view name, std::int32_t def) const {
  return qv::ReadIntDef(*this, name, def);
}

bool TSafeRegistry::ReadBoolDef(std::string_view name, bool def) const {
  return qv::ReadBoolDef(*this, name, def);
}

void TSafeRegistry::ReadFont(std::string_view prefix, FontSpec& font) const {
  qv::ReadFont(*this, prefix, font);
}

void TSafeRegistry::WriteFont(std::string_view prefix, const FontSpec& font) {
  qv::WriteFont(*this, prefix, font);
}

void TSafeRegistry::ReadFormPlacement(PlacedWindow& window) const { qv::ReadFormPlacement(*this, window); }

void TSafeRegistry::WriteFormPlacement(const PlacedWindow& window) { qv::WriteFormPlacement(*this, window); }

void TSafeRegistry::ReadColumnWidths(ColumnList& list) const { qv::ReadColumnWidths(*this, list); }

void TSafeRegistry::WriteColumnWidths(const ColumnList& list) { qv::WriteColumnWidths(*this, list); }

std::string ReadStrDef(const Registry& reg, std::string_view name, std::string_view def) {
  return reg.ReadString(name).value_or(std::string(def));
}

std::int32_t ReadIntDef(const Registry& reg, std::string_view name, std::int32_t def) {
  return reg.ReadInteger(name).value_or(def);
}

bool ReadBoolDef(const Registry& reg, std::string_view name, bool def) {
  return reg.ReadBool(name).value_or(def);
}

double ReadFloatDef(const Registry& reg, std::string_view name, double def) {
  return reg.ReadFloat(name).value_or(def);
}

void ReadFont(const Registry& reg, std::string_view prefix, FontSpec& font) {
  const std::string p(prefix);
  font.name = ReadStrDef(reg, p + "Name", "Courier New");
  font.size = ReadIntDef(reg, p + "Size", 10);
  font.color = static_cast<std::uint32_t>(ReadIntDef(reg, p + "Color", static_cast<std::int32_t>(0x80000008u)));
  font.style = ReadIntDef(reg, p + "Style", 0);
}

void WriteFont(Registry& reg, std::string_view prefix, const FontSpec& font) {
  const std::string p(prefix);
  reg.WriteString(p + "Name", font.name);
  reg.WriteInteger(p + "Size", font.size);
  reg.WriteInteger(p + "Color", static_cast<std::int32_t>(font.color));
  reg.WriteInteger(p + "Style", font.style & 0xff);
}

void ReadFormPlacement(const Registry& reg, PlacedWindow& window) {
  const NormalRect current = window.placement().normal;
  const int left = ReadIntDef(reg, "FormLeft", current.left);
  const int top = ReadIntDef(reg, "FormTop", current.top);
  const int width = ReadIntDef(reg, "FormWidth", current.right - current.left);
  const int height = ReadIntDef(reg, "FormHeight", current.bottom - current.top);
  window.setNormalRect(NormalRect{left, top, left + width, top + height});
  if (ReadBoolDef(reg, "FormMaximized", false)) window.maximize();
}

void WriteFormPlacement(Registry& reg, const PlacedWindow& window) {
  const WindowPlacement p = window.placement();
  reg.WriteInteger("FormLeft", p.normal.left);
  reg.WriteInteger("FormTop", p.normal.top);
  reg.WriteInteger("FormWidth", p.normal.right - p.normal.left);
  reg.WriteInteger("FormHeight", p.normal.bottom - p.normal.top);
  reg.WriteBool("FormMaximized", p.maximized);
}

void ReadColumnWidths(const Registry& reg, ColumnList& list) {
  const std::string base = list.name();
  for (int i = 0; i < list.columnCount(); ++i)
    list.setColumnWidth(i, ReadIntDef(reg, base + std::to_string(i), list.columnWidth(i)));
}

void WriteColumnWidths(Registry& reg, const ColumnList& list) {
  const std::string base = list.name();
  for (int i = 0; i < list.columnCount(); ++i)
    reg.WriteInteger(base + std::to_string(i), list.columnWidth(i));
}

}  // namespace qv
