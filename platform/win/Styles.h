// Style bits of windows, window classes, dialogs and controls.
//
// Window styles use the high 16 bits and are the same for every class;
// the low 16 bits belong to the window's class (a button's kind, an edit's
// alignment, the toolkit's own grid bits 0x10..0x8000, ...). The values are
// this window system's own, except the button kinds 0, 1, 3, 7 and 9 that
// the toolkit reads by number.
#pragma once

#include <cstdint>

namespace plat {

// Window styles (high 16 bits).
namespace ws {
constexpr uint32_t Overlapped = 0;              // a top-level window with no parent
constexpr uint32_t Child = 0x80000000u;         // lives in its parent's client area
constexpr uint32_t Popup = 0x40000000u;         // top-level window (may have an owner)
constexpr uint32_t Visible = 0x20000000u;
constexpr uint32_t Disabled = 0x10000000u;
constexpr uint32_t Minimize = 0x08000000u;      // minimised (state)
constexpr uint32_t Maximize = 0x04000000u;      // maximised (state)
constexpr uint32_t ClipSiblings = 0x02000000u;
constexpr uint32_t ClipChildren = 0x01000000u;
constexpr uint32_t Border = 0x00800000u;        // thin line
constexpr uint32_t DlgFrame = 0x00400000u;      // fixed frame
constexpr uint32_t Caption = Border | DlgFrame; // title bar (on a fixed or sizing frame)
constexpr uint32_t ThickFrame = 0x00200000u;    // sizing border
constexpr uint32_t SysMenu = 0x00100000u;       // system-menu box and close box (with Caption)
constexpr uint32_t VScroll = 0x00080000u;
constexpr uint32_t HScroll = 0x00040000u;
constexpr uint32_t MinimizeBox = 0x00020000u;   // frames only
constexpr uint32_t MaximizeBox = 0x00010000u;   // frames only
constexpr uint32_t Group = 0x00020000u;         // controls only: first of a group
constexpr uint32_t TabStop = 0x00010000u;       // controls only: reached with Tab
constexpr uint32_t OverlappedWindow = Caption | SysMenu | ThickFrame | MinimizeBox | MaximizeBox;
constexpr uint32_t ClassMask = 0x0000FFFFu;     // the bits that belong to the window's class
}  // namespace ws

// Extended window styles.
namespace wsx {
constexpr uint32_t DlgModalFrame = 0x0001;
constexpr uint32_t NoParentNotify = 0x0002;     // creation, destruction and clicks are not told to the parent
constexpr uint32_t TopMost = 0x0004;            // stays above windows without it
constexpr uint32_t Transparent = 0x0008;
constexpr uint32_t ToolWindow = 0x0010;         // small caption
constexpr uint32_t WindowEdge = 0x0020;
constexpr uint32_t ClientEdge = 0x0040;         // sunken 2-pixel edge
constexpr uint32_t StaticEdge = 0x0080;         // 1-pixel edge
constexpr uint32_t AppWindow = 0x0100;
constexpr uint32_t ControlParent = 0x0200;      // dialog navigation enters its children
constexpr uint32_t ContextHelp = 0x0400;
constexpr uint32_t NoActivate = 0x0800;
}  // namespace wsx

// Class styles.
namespace cs {
constexpr uint32_t VRedraw = 0x0001;     // repaint everything when the height changes
constexpr uint32_t HRedraw = 0x0002;     // ... when the width changes
constexpr uint32_t DblClks = 0x0004;     // the class gets double-click messages
constexpr uint32_t OwnDC = 0x0008;
constexpr uint32_t ClassDC = 0x0010;
constexpr uint32_t ParentDC = 0x0020;    // draws with its parent's device context
constexpr uint32_t NoClose = 0x0040;     // no close item in the system menu
constexpr uint32_t SaveBits = 0x0080;
constexpr uint32_t GlobalClass = 0x0100;
}  // namespace cs

// Dialog styles (low bits of a dialog's own style).
namespace ds {
constexpr uint32_t ModalFrame = 0x0001;
constexpr uint32_t Center = 0x0002;
constexpr uint32_t Control = 0x0004;     // a dialog used as a control (pages, dialog bars)
constexpr uint32_t SetForeground = 0x0008;
constexpr uint32_t NoFailCreate = 0x0010;
constexpr uint32_t CenterMouse = 0x0020;
constexpr uint32_t AbsAlign = 0x0040;
constexpr uint32_t SysModal = 0x0080;
constexpr uint32_t ContextHelp = 0x0100;
constexpr uint32_t Look3D = 0x0200;
constexpr uint32_t FixedSys = 0x0400;
}  // namespace ds

// Button ("BUTTON"): the kind in the low four bits.
namespace bs {
constexpr uint32_t PushButton = 0;
constexpr uint32_t DefPushButton = 1;
constexpr uint32_t CheckBox = 2;
constexpr uint32_t AutoCheckBox = 3;
constexpr uint32_t RadioButton = 4;
constexpr uint32_t ThreeState = 5;
constexpr uint32_t AutoThreeState = 6;
constexpr uint32_t GroupBox = 7;
constexpr uint32_t UserButton = 8;
constexpr uint32_t AutoRadioButton = 9;
constexpr uint32_t OwnerDraw = 11;
constexpr uint32_t TypeMask = 0x000F;
constexpr uint32_t LeftText = 0x0010;
constexpr uint32_t Icon = 0x0020;
constexpr uint32_t Bitmap = 0x0040;
constexpr uint32_t Left = 0x0080;
constexpr uint32_t Right = 0x0100;
constexpr uint32_t Center = 0x0180;
constexpr uint32_t Top = 0x0200;
constexpr uint32_t Bottom = 0x0400;
constexpr uint32_t VCenter = 0x0600;
constexpr uint32_t PushLike = 0x0800;
constexpr uint32_t MultiLine = 0x1000;
constexpr uint32_t Notify = 0x2000;
constexpr uint32_t Flat = 0x4000;
}  // namespace bs

// Edit ("EDIT").
namespace es {
constexpr uint32_t Left = 0x0000;
constexpr uint32_t Center = 0x0001;
constexpr uint32_t Right = 0x0002;
constexpr uint32_t AlignMask = 0x0003;
constexpr uint32_t MultiLine = 0x0004;
constexpr uint32_t UpperCase = 0x0008;
constexpr uint32_t LowerCase = 0x0010;
constexpr uint32_t Password = 0x0020;
constexpr uint32_t AutoVScroll = 0x0040;
constexpr uint32_t AutoHScroll = 0x0080;
constexpr uint32_t NoHideSel = 0x0100;
constexpr uint32_t ReadOnly = 0x0200;
constexpr uint32_t WantReturn = 0x0400;
constexpr uint32_t Number = 0x0800;
}  // namespace es

// Static ("STATIC"): the kind in the low five bits.
namespace ss {
constexpr uint32_t Left = 0;
constexpr uint32_t Center = 1;
constexpr uint32_t Right = 2;
constexpr uint32_t Simple = 3;
constexpr uint32_t LeftNoWordWrap = 4;
constexpr uint32_t Icon = 5;
constexpr uint32_t Bitmap = 6;
constexpr uint32_t EnhMetafile = 7;
constexpr uint32_t BlackRect = 8;
constexpr uint32_t GrayRect = 9;
constexpr uint32_t WhiteRect = 10;
constexpr uint32_t BlackFrame = 11;
constexpr uint32_t GrayFrame = 12;
constexpr uint32_t WhiteFrame = 13;
constexpr uint32_t EtchedHorz = 14;
constexpr uint32_t EtchedVert = 15;
constexpr uint32_t EtchedFrame = 16;
constexpr uint32_t TypeMask = 0x001F;
constexpr uint32_t NoPrefix = 0x0020;
constexpr uint32_t Notify = 0x0040;
constexpr uint32_t CenterImage = 0x0080;
constexpr uint32_t RealSizeImage = 0x0100;
constexpr uint32_t Sunken = 0x0200;
}  // namespace ss

// List box ("LISTBOX").
namespace lbs {
constexpr uint32_t Notify = 0x0001;
constexpr uint32_t Sort = 0x0002;
constexpr uint32_t NoRedraw = 0x0004;
constexpr uint32_t MultipleSel = 0x0008;
constexpr uint32_t ExtendedSel = 0x0010;
constexpr uint32_t HasStrings = 0x0020;
constexpr uint32_t UseTabStops = 0x0040;
constexpr uint32_t NoIntegralHeight = 0x0080;
constexpr uint32_t WantKeyboardInput = 0x0100;
constexpr uint32_t DisableNoScroll = 0x0200;
constexpr uint32_t NoSel = 0x0400;
}  // namespace lbs

// Combo box ("COMBOBOX"): the kind in the low two bits.
namespace cbs {
constexpr uint32_t Simple = 1;
constexpr uint32_t DropDown = 2;        // drop-down list with an edit part
constexpr uint32_t DropDownList = 3;    // drop-down list only
constexpr uint32_t TypeMask = 0x0003;
constexpr uint32_t AutoHScroll = 0x0004;
constexpr uint32_t Sort = 0x0008;
constexpr uint32_t HasStrings = 0x0010;
constexpr uint32_t NoIntegralHeight = 0x0020;
constexpr uint32_t DisableNoScroll = 0x0040;
constexpr uint32_t UpperCase = 0x0080;
constexpr uint32_t LowerCase = 0x0100;
}  // namespace cbs

// Scroll bar ("SCROLLBAR").
namespace sbs {
constexpr uint32_t Horz = 0;
constexpr uint32_t Vert = 1;
constexpr uint32_t SizeGrip = 2;
constexpr uint32_t TypeMask = 0x0003;
constexpr uint32_t TopAlign = 0x0004;
constexpr uint32_t BottomAlign = 0x0008;
}  // namespace sbs

// Placement of the common bars (status bar, toolbar, header).
namespace ccs {
constexpr uint32_t Top = 0x0001;
constexpr uint32_t Bottom = 0x0002;
constexpr uint32_t NoResize = 0x0004;       // keeps the size it is given
constexpr uint32_t NoParentAlign = 0x0008;  // does not move itself to the parent's edge
constexpr uint32_t NoDivider = 0x0010;
constexpr uint32_t Vert = 0x0020;
}  // namespace ccs

// Status bar ("msctls_statusbar32").
namespace sbars {
constexpr uint32_t SizeGrip = 0x0100;
}  // namespace sbars

// Toolbar ("ToolbarWindow32").
namespace tbstyle {
constexpr uint32_t Tooltips = 0x0100;   // makes a tooltip control that asks the parent for texts
constexpr uint32_t Wrapable = 0x0200;
constexpr uint32_t Flat = 0x0400;
constexpr uint32_t List = 0x0800;
}  // namespace tbstyle

// Tooltip ("tooltips_class32").
namespace ttstyle {
constexpr uint32_t AlwaysTip = 0x0001;
constexpr uint32_t NoPrefix = 0x0002;
}  // namespace ttstyle

// Progress bar ("msctls_progress32").
namespace pbs {
constexpr uint32_t Smooth = 0x0001;
constexpr uint32_t Vertical = 0x0002;
}  // namespace pbs

// Trackbar ("msctls_trackbar32").
namespace tbs {
constexpr uint32_t AutoTicks = 0x0001;
constexpr uint32_t Vert = 0x0002;
constexpr uint32_t Top = 0x0004;        // ticks above (or left when vertical)
constexpr uint32_t Both = 0x0008;
constexpr uint32_t NoTicks = 0x0010;
constexpr uint32_t EnableSelRange = 0x0020;
constexpr uint32_t FixedLength = 0x0040;
constexpr uint32_t NoThumb = 0x0080;
}  // namespace tbs

// Tab control ("SysTabControl32").
namespace tcs {
constexpr uint32_t Buttons = 0x0001;
constexpr uint32_t MultiLine = 0x0002;
constexpr uint32_t FixedWidth = 0x0004;
constexpr uint32_t FocusNever = 0x0008;
constexpr uint32_t Bottom = 0x0010;
}  // namespace tcs

// Up-down ("msctls_updown32").
namespace uds {
constexpr uint32_t Wrap = 0x0001;
constexpr uint32_t SetBuddyInt = 0x0002;
constexpr uint32_t AlignRight = 0x0004;
constexpr uint32_t AlignLeft = 0x0008;
constexpr uint32_t AutoBuddy = 0x0010;
constexpr uint32_t ArrowKeys = 0x0020;
constexpr uint32_t Horz = 0x0040;
constexpr uint32_t NoThousands = 0x0080;
}  // namespace uds

// Header ("SysHeader32").
namespace hds {
constexpr uint32_t Buttons = 0x0001;
constexpr uint32_t HotTrack = 0x0002;
constexpr uint32_t DragDrop = 0x0004;
constexpr uint32_t FullDrag = 0x0008;
}  // namespace hds

// Tree view ("SysTreeView32").
namespace tvs {
constexpr uint32_t HasButtons = 0x0001;
constexpr uint32_t HasLines = 0x0002;
constexpr uint32_t LinesAtRoot = 0x0004;
constexpr uint32_t EditLabels = 0x0008;
constexpr uint32_t ShowSelAlways = 0x0010;
constexpr uint32_t DisableDragDrop = 0x0020;
}  // namespace tvs

}  // namespace plat
