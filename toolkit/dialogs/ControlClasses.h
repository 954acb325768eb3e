// The control classes the dialog code tells apart, by the class identities
// recorded once when the root window opens, and the standard window
// procedures that the subclass procedures pass messages on to.
#pragma once

#include <cstdint>

#include "platform/Types.h"

enum class FieldClass : int32_t {
  Other,
  Edit,
  Static,
  Button,
  ListBox,
  ComboBox,
  Progress,
  Trackbar,
  Tab,
  TreeView,
  UpDown,
  Header,
  ScrollBar,
  Dialog,
  Grid,
  IntegerEdit,
  IntegerSpin,
  RealEdit,
  RealSpin,
  DoubleEdit,
  DoubleSpin,
};

FieldClass YYFieldClassOf(plat::Hwnd window);
// EDIT or one of the six numeric classes.
bool YYIsEditLike(FieldClass c);
bool YYIsNumericClass(FieldClass c);
bool YYIsSpinClass(FieldClass c);

// Button kinds the dialog code reads by number (the low four style bits).
inline constexpr uint32_t kPushButton = 0;
inline constexpr uint32_t kDefPushButton = 1;
inline constexpr uint32_t kAutoCheckBox = 3;
inline constexpr uint32_t kGroupBox = 7;
inline constexpr uint32_t kAutoRadioButton = 9;
uint32_t YYButtonKind(plat::Hwnd button);
bool YYIsPushButton(plat::Hwnd window);

// The grid control's class and its style bits that the dialogs read.
inline constexpr const char* kGridClassName = "QVZGRID";
inline constexpr uint32_t kGridReadOnly = 0x800;
inline constexpr uint32_t kGridRowLabels = 0x400;
inline constexpr uint32_t kGridLabelsAbsent = 0x80;

// The probes: identities of "BUTTON", "STATIC", the trackbar, the tree view
// and the tab control with their standard procedures; then the dialog
// class, "LISTBOX", "COMBOBOX", the progress bar, the up-down control, the
// header and "SCROLLBAR".
void YYProbeClassesA();
void YYProbeClassesB();

// The standard procedures recorded by the probes (and by the registration
// of the numeric classes for EDIT).
struct StandardProcsRecord {
  plat::WndProc Button = nullptr;
  plat::WndProc Static = nullptr;
  plat::WndProc Trackbar = nullptr;
  plat::WndProc TreeView = nullptr;
  plat::WndProc Tab = nullptr;
  plat::WndProc Edit = nullptr;
};
const StandardProcsRecord& StandardProcs();
void YYRecordEditClass(plat::WndProc editProc);
// Records a class identity registered by the toolkit (the grid).
void YYRecordClassIdentity(const char* name, FieldClass c);
void ResetControlClasses();
