#include "tools/rescomp/ExtrasCheck.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/win/Styles.h"
#include "toolkit/dialogs/ExtrasFormat.h"

namespace rescomp {

namespace {

using plat::res::ControlTemplate;
using plat::res::DialogTemplate;
using plat::res::ResourceSet;

// The grid control's class and the style bits that decide what follows a
// [Grids] line.
constexpr std::string_view kGridClass = "QVZGRID";
constexpr uint32_t kGridRowLabels = 0x400;
constexpr uint32_t kGridLabelsAbsent = 0x80;

bool sameClass(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

bool isRadio(const ControlTemplate& c) {
  const uint32_t kind = c.style & plat::bs::TypeMask;
  return sameClass(c.className, "BUTTON") && (kind == plat::bs::AutoRadioButton || kind == plat::bs::RadioButton);
}

// The classes a grid column template may use for its columns.
bool isColumnClass(const ControlTemplate& c) {
  for (std::string_view k : {"EDIT", "INTEGEREDIT", "INTEGERSPIN", "REALEDIT", "REALSPIN", "DOUBLEEDIT",
                             "DOUBLESPIN", "COMBOBOX"})
    if (sameClass(c.className, k)) return true;
  return sameClass(c.className, "BUTTON") && (c.style & plat::bs::TypeMask) == plat::bs::AutoCheckBox;
}

const ControlTemplate* findControl(const DialogTemplate& d, int id) {
  for (const auto& c : d.controls)
    if (c.id == id) return &c;
  return nullptr;
}

class DialogCheck {
 public:
  DialogCheck(const ResourceSet& set, const DialogTemplate& d, std::vector<std::string>& errors)
      : set_(set), d_(d), errors_(errors) {
    const std::string key = "DIALOG " + std::to_string(d.id);
    auto it = set.origins.find(key);
    where_ = (it != set.origins.end() ? it->second : std::string("?")) + ": " + key;
  }

  void run() {
    radioGroups();
    auto data = set_.data.find({plat::res::kRcData, d_.id});
    if (data == set_.data.end()) return;
    const std::string_view text(reinterpret_cast<const char*>(data->second.data()), data->second.size());
    const ExtrasText parsed = ParseDialogExtras(text, [this](int32_t id) {
      ExtrasGridLabels g;
      const ControlTemplate* c = findControl(d_, id);
      if (c && sameClass(c->className, kGridClass)) {
        g.RowLabels = (c->style & kGridRowLabels) != 0;
        g.LabelsInText = (c->style & kGridLabelsAbsent) == 0;
      }
      return g;
    });
    for (const auto& p : parsed.Problems) fail(p.LineNumber, p.Message);
    for (const auto& line : parsed.Lines) dataLine(line);
  }

 private:
  void fail(int extrasLine, const std::string& message) {
    std::string m = where_;
    if (extrasLine > 0) m += ", extras line " + std::to_string(extrasLine);
    errors_.push_back(m + ": " + message);
  }

  // Each radio button's group, found as the dialog walks it (backwards over
  // buttons without the group style, forwards likewise), must hold radio
  // buttons only: otherwise positions in the group count other buttons.
  void radioGroups() {
    const auto& cs = d_.controls;
    for (size_t i = 0; i < cs.size(); ++i) {
      if (!isRadio(cs[i])) continue;
      auto inWalk = [&](size_t k) {
        return !(cs[k].style & plat::ws::Group) && sameClass(cs[k].className, cs[i].className);
      };
      size_t first = i;
      while (inWalk(first) && first > 0) --first;   // stops on a grouping control or one of another class
      size_t last = i;
      while (last + 1 < cs.size() && inWalk(last + 1)) ++last;
      for (size_t k = first; k <= last; ++k)
        if (!isRadio(cs[k]) || (k == first && !(cs[k].style & plat::ws::Group))) {
          fail(0, "the radio group of control " + std::to_string(cs[i].id) +
                      " must begin with a radio button that has GROUP and hold radio buttons only (control " +
                      std::to_string(cs[k].id) + ")");
          return;
        }
    }
  }

  void dataLine(const ExtrasLine& line) {
    if (line.Section == ExtrasSection::Dialog) {
      if (line.Values.size() == 2 && line.Values[0] != 0 && !findControl(d_, line.Values[0]))
        fail(line.LineNumber, "the stretch field " + std::to_string(line.Values[0]) + " is no control of the dialog");
      return;
    }
    const ControlTemplate* c = findControl(d_, line.Identifier);
    if (!c) {
      fail(line.LineNumber, "control " + std::to_string(line.Identifier) + " is not in the dialog");
      return;
    }
    switch (line.Section) {
      case ExtrasSection::Menus:
        if (!sameClass(c->className, "LISTBOX") && !sameClass(c->className, "COMBOBOX"))
          fail(line.LineNumber, "[Menus] for a control that is no list or combo box");
        if (static_cast<int32_t>(line.Items.size()) != line.Values[0])
          fail(line.LineNumber, "the option count does not match the option lines");
        break;
      case ExtrasSection::Tabs:
        if (!sameClass(c->className, "SysTabControl32")) fail(line.LineNumber, "[Tabs] for a control that is no tab control");
        if (static_cast<int32_t>(line.Pages.size()) != line.Values[0])
          fail(line.LineNumber, "the page count does not match the page lines");
        for (const auto& p : line.Pages)
          if (!set_.dialogs.count(p.Page)) fail(line.LineNumber, "page dialog " + std::to_string(p.Page) + " does not exist");
        break;
      case ExtrasSection::Grids: grid(*c, line); break;
      default: break;
    }
  }

  void grid(const ControlTemplate& c, const ExtrasLine& line) {
    if (!sameClass(c.className, kGridClass)) {
      fail(line.LineNumber, "[Grids] for a control that is no grid");
      return;
    }
    const int32_t columns = line.Values[0], rows = line.Values[1], templateId = line.Values[2];
    if (columns < 1 || rows < 1) fail(line.LineNumber, "a grid needs at least one column and one row");
    auto t = set_.dialogs.find(templateId);
    if (t == set_.dialogs.end()) {
      fail(line.LineNumber, "column template dialog " + std::to_string(templateId) + " does not exist");
    } else if (static_cast<int32_t>(t->second.controls.size()) < columns ||
               !std::all_of(t->second.controls.begin(), t->second.controls.begin() + std::max(columns, 0), isColumnClass)) {
      fail(line.LineNumber, "column template dialog " + std::to_string(templateId) + " needs " +
                                std::to_string(columns) + " column controls first");
    }
    if ((c.style & kGridRowLabels) && !line.HasLabelWidth) fail(line.LineNumber, "the row-label width line is missing");
    if ((c.style & kGridRowLabels) && !(c.style & kGridLabelsAbsent) && static_cast<int32_t>(line.Items.size()) != rows)
      fail(line.LineNumber, "a grid with row labels needs one label line per row");
  }

  const ResourceSet& set_;
  const DialogTemplate& d_;
  std::vector<std::string>& errors_;
  std::string where_;
};

}  // namespace

std::vector<std::string> checkDialogs(const ResourceSet& set) {
  std::vector<std::string> errors;
  for (const auto& [id, d] : set.dialogs) DialogCheck(set, d, errors).run();
  return errors;
}

}  // namespace rescomp
