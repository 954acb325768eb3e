// Resources: menus, accelerator tables, strings, raw data (RCDATA and named
// data types such as "QVZMENUSTRING"), bitmaps, icons and dialog templates
// with their extras.
//
// They are written as text in resources/ (format: platform/README.md) and
// compiled at build time into tables linked into the program. Tests can push
// overlays parsed from text at run time; lookups search the overlays (last
// pushed first), then the compiled tables.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Types.h"
#include "platform/gdi/Surface.h"
#include "platform/menu/Menu.h"

namespace plat::res {

// A menu item of a menu resource: a text item with an id, a separator, or a
// pop-up (with its items, and an id of its own when one is given).
struct MenuItemTemplate {
  std::string text;
  uint32_t id = 0;
  uint32_t flags = 0;    // mf::Grayed, mf::Disabled, mf::Checked, mf::Separator, mf::Popup
  std::vector<MenuItemTemplate> items;
  friend bool operator==(const MenuItemTemplate&, const MenuItemTemplate&) = default;
};
struct MenuTemplate {
  std::vector<MenuItemTemplate> items;
  friend bool operator==(const MenuTemplate&, const MenuTemplate&) = default;
};

// A control of a dialog template, in dialog units.
struct ControlTemplate {
  std::string className;   // "BUTTON", "EDIT", ..., or a class of the toolkit
  int id = -1;
  std::string text;
  uint32_t style = 0;      // window style bits plus the class's own bits
  uint32_t exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  friend bool operator==(const ControlTemplate&, const ControlTemplate&) = default;
};

struct DialogTemplate {
  int id = 0;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  std::string caption;
  int pointSize = 8;       // the dialog font, which sets the dialog units
  int weight = 400;
  bool italic = false;
  std::string face;
  int x = 0, y = 0, cx = 0, cy = 0;
  int menuId = 0;
  std::string className;   // empty: the dialog manager's own class
  std::vector<ControlTemplate> controls;   // in template (creation and tab) order
  friend bool operator==(const DialogTemplate&, const DialogTemplate&) = default;
};

// A set of resources, as parsed from text or compiled into the program.
// Names of named resources and data types are kept in upper case (lookups
// ignore case). A dialog's extras are the "RCDATA" data with its id.
struct ResourceSet {
  std::map<int, MenuTemplate> menus;
  std::map<int, std::vector<Accel>> accelerators;
  std::map<int, std::string> strings;
  std::map<std::pair<std::string, int>, std::vector<uint8_t>> data;   // (type, id)
  std::map<int, Surface> bitmaps;
  std::map<std::string, Surface> namedBitmaps;
  std::map<int, Surface> icons;
  std::map<std::string, Surface> namedIcons;
  std::map<int, DialogTemplate> dialogs;
  // Where each resource was written ("MENU 30001" -> "file:line"), for the
  // messages of clashing ids.
  std::map<std::string, std::string> origins;
};

inline constexpr const char* kRcData = "RCDATA";
inline constexpr const char* kMenuStringType = "QVZMENUSTRING";

// Lookups; null or empty when the resource does not exist.
const MenuTemplate* findMenu(int id);
const std::vector<Accel>* findAccelerators(int id);
bool loadString(int id, std::string& out);
// The bytes of a data resource. A dialog's extras come with one zero byte
// after them (outside the span), as readers of zero-ended text expect.
std::span<const uint8_t> findData(std::string_view type, int id);
bool hasData(std::string_view type, int id);
const Surface* findBitmap(int id);
const Surface* findBitmap(std::string_view name);
const Surface* findIcon(int id);
const Surface* findIcon(std::string_view name);
const DialogTemplate* findDialog(int id);

// A failure to parse resource text; what() is "file:line: message".
struct ResourceError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Parses resource text and puts it above the compiled resources (and
// earlier overlays) until popped. Throws ResourceError on the first error.
// FILE references are read relative to `baseDir`.
void pushOverlay(std::string_view text, std::string_view sourceName = "overlay", std::string_view baseDir = ".");
void popOverlay();
void clearOverlays();

// The compiled resources (made by the resource compiler from resources/).
const ResourceSet& builtinResources();

}  // namespace plat::res

namespace plat {
// Icons from the resources, by id or name; none when missing. The handle
// gives the image back for drawing.
Hicon loadIcon(int resourceId);
Hicon loadIcon(std::string_view name);
const Surface* iconImage(Hicon icon);
bool destroyIcon(Hicon icon);
}  // namespace plat
