// Settings reads that never fail on a missing value, plus the font, placement and column routines.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/prompter.h"
#include "platform/registry.h"

namespace qv {

class PlacedWindow;
class ColumnList;

// The registry accessor of the program: every read names the default for a missing value.
class TSafeRegistry : public Registry {
 public:
  using Registry::Registry;

  std::string ReadStrDef(std::string_view name, std::string_view def) const;
  std::int32_t ReadIntDef(std::string_view name, std::int32_t def) const;
  bool ReadBoolDef(std::string_view name, bool def) const;

  // The routines below, on this accessor's open key.
  void ReadFont(std::string_view prefix, FontSpec& font) const;
  void WriteFont(std::string_view prefix, const FontSpec& font);
  void ReadFormPlacement(PlacedWindow& window) const;
  void WriteFormPlacement(const PlacedWindow& window);
  void ReadColumnWidths(ColumnList& list) const;
  void WriteColumnWidths(const ColumnList& list);
};

// The same reads for any accessor; a value of another type than asked for reads as missing.
std::string ReadStrDef(const Registry& reg, std::string_view name, std::string_view def);
std::int32_t ReadIntDef(const Registry& reg, std::string_view name, std::int32_t def);
bool ReadBoolDef(const Registry& reg, std::string_view name, bool def);
double ReadFloatDef(const Registry& reg, std::string_view name, double def);

// Four values "<prefix>Name", "<prefix>Size", "<prefix>Color", "<prefix>Style" of the open key.
void ReadFont(const Registry& reg, std::string_view prefix, FontSpec& font);
void WriteFont(Registry& reg, std::string_view prefix, const FontSpec& font);

// A window's restored ("normal") rectangle and whether it is maximized.
struct NormalRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const NormalRect&) const = default;
};
struct WindowPlacement {
  NormalRect normal;
  bool maximized = false;
};

// What the placement routines need of a window.
class PlacedWindow {
 public:
  virtual ~PlacedWindow() = default;
  virtual WindowPlacement placement() const = 0;
  // Sets the restored rectangle without showing or hiding the window.
  virtual void setNormalRect(const NormalRect& rect) = 0;
  virtual void maximize() = 0;
};

// "FormLeft", "FormTop", "FormWidth", "FormHeight", "FormMaximized" of the open key.
void ReadFormPlacement(const Registry& reg, PlacedWindow& window);
void WriteFormPlacement(Registry& reg, const PlacedWindow& window);

// What the column routines need of a list view.
class ColumnList {
 public:
  virtual ~ColumnList() = default;
  virtual std::string name() const = 0;  // component name, e.g. "lvStats"
  virtual int columnCount() const = 0;
  virtual int columnWidth(int column) const = 0;
  virtual void setColumnWidth(int column, int width) = 0;
};

// Column i's width under the value name list name + i ("lvStats0", "lvStats1", ...).
void ReadColumnWidths(const Registry& reg, ColumnList& list);
void WriteColumnWidths(Registry& reg, const ColumnList& list);

}  // namespace qv
