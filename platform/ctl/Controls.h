// The standard and common controls: class names, messages, notification
// codes and the records that travel with them.
//
// Every control keeps its state beside its window (a record per window,
// freed on NcDestroy), answers its own messages, tells its parent what the
// user did (Command with a notification code in the high word, or Notify
// with a NotifyHeader), asks its parent for colours before painting
// (the CtlColor messages) and paints itself into its window's surface.
//
// Notification numbers that the toolkit tests by value keep their values:
// button clicked 0, selection changed 1, double click 2, combo box focus 3,
// list box focus 4, combo edit change 5, button focus 6, drop-down 7 and
// close-up 8, edit focus 0x100, edit change 0x300. Everything else is
// numbered here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"
#include "platform/win/Messages.h"
#include "platform/win/Styles.h"

namespace plat {

inline constexpr const char* kButtonClass = "BUTTON";
inline constexpr const char* kEditClass = "EDIT";
inline constexpr const char* kStaticClass = "STATIC";
inline constexpr const char* kListBoxClass = "LISTBOX";
inline constexpr const char* kComboBoxClass = "COMBOBOX";
inline constexpr const char* kComboListClass = "ComboLBox";   // the dropped-down list of a combo box
inline constexpr const char* kScrollBarClass = "SCROLLBAR";
inline constexpr const char* kProgressClass = "msctls_progress32";
inline constexpr const char* kUpDownClass = "msctls_updown32";
inline constexpr const char* kTabClass = "SysTabControl32";
inline constexpr const char* kHeaderClass = "SysHeader32";
inline constexpr const char* kTrackbarClass = "msctls_trackbar32";
inline constexpr const char* kTreeViewClass = "SysTreeView32";

// Messages every control class understands where it makes sense.
namespace wm {
constexpr uint32_t HScroll = 0x0114;          // wParam: low ScrollCode, high position; lParam: scroll bar control or 0
constexpr uint32_t VScroll = 0x0115;
// Colour requests to the parent before a control paints: wParam the device
// context, lParam the control. An answer of a brush (non-zero) fills the
// background with it and draws text in the colours the parent set in the
// context; 0 keeps the system colours.
constexpr uint32_t CtlColorEdit = 0x0133;     // edit controls, and the edit part of a combo box
constexpr uint32_t CtlColorListBox = 0x0134;  // list boxes and combo boxes
constexpr uint32_t CtlColorBtn = 0x0135;
constexpr uint32_t CtlColorDlg = 0x0136;
constexpr uint32_t CtlColorScrollBar = 0x0137;
constexpr uint32_t CtlColorStatic = 0x0138;   // statics, read-only and disabled edits
// Clipboard commands of edit controls (also of combo boxes with an edit part).
constexpr uint32_t Cut = 0x0300;
constexpr uint32_t Copy = 0x0301;
constexpr uint32_t Paste = 0x0302;
constexpr uint32_t Clear = 0x0303;
constexpr uint32_t Undo = 0x0304;
// Paints the client area into the device context in wParam (a control drawn
// into a bitmap).
constexpr uint32_t PrintClient = 0x0318;
}  // namespace wm

// Scroll requests of HScroll and VScroll (low word of wParam); the trackbar
// uses the same numbers for its own requests.
enum ScrollCode : uint32_t {
  kSbLineUp = 0,       // also line left; trackbar: position - line step
  kSbLineDown = 1,
  kSbPageUp = 2,
  kSbPageDown = 3,
  kSbThumbPosition = 4,  // the thumb was let go at the position in the high word
  kSbThumbTrack = 5,     // the thumb is being dragged
  kSbTop = 6,
  kSbBottom = 7,
  kSbEndScroll = 8,      // trackbar: end of tracking
};

// ---------------------------------------------------------------- button

namespace bm {
constexpr uint32_t GetCheck = 0x1200;   // kBstUnchecked, kBstChecked or kBstIndeterminate
constexpr uint32_t SetCheck = 0x1201;   // wParam: the check state
constexpr uint32_t GetState = 0x1202;   // check state | kBstPushed | kBstFocus
constexpr uint32_t SetState = 0x1203;   // wParam: pushed look on (1) or off (0)
constexpr uint32_t SetStyle = 0x1204;   // wParam: the class bits (kind); lParam: redraw
constexpr uint32_t Click = 0x1205;      // pressed as by the mouse: auto kinds toggle, then Clicked
constexpr uint32_t GetImage = 0x1206;   // wParam: kImageBitmap or kImageIcon; the handle value
constexpr uint32_t SetImage = 0x1207;   // wParam: kind; lParam: HBitmap or Hicon value; returns the old one
}  // namespace bm
enum ButtonCheck : int { kBstUnchecked = 0, kBstChecked = 1, kBstIndeterminate = 2, kBstPushed = 4, kBstFocus = 8 };
enum ImageKind : uint32_t { kImageBitmap = 0, kImageIcon = 1, kImageEnhMetafile = 3 };
namespace bn {
constexpr uint32_t Clicked = 0;
constexpr uint32_t DoubleClicked = 5;   // with bs::Notify, or for radio buttons
constexpr uint32_t SetFocus = 6;        // with bs::Notify
constexpr uint32_t KillFocus = 7;       // with bs::Notify
}  // namespace bn

// ---------------------------------------------------------------- edit

namespace em {
constexpr uint32_t GetSel = 0x1220;          // wParam, lParam: int* start, end (may be null); returns makeLParam(start, end)
constexpr uint32_t SetSel = 0x1221;          // wParam: start; lParam: end (-1: the end of the text); start -1 removes the selection
constexpr uint32_t GetRect = 0x1222;         // lParam: Rect* formatting rectangle
constexpr uint32_t ScrollCaret = 0x1223;
constexpr uint32_t GetModify = 0x1224;
constexpr uint32_t SetModify = 0x1225;       // wParam: modified
constexpr uint32_t GetLineCount = 0x1226;
constexpr uint32_t LineIndex = 0x1227;       // wParam: line (-1: the caret's); first character of it, -1 past the end
constexpr uint32_t LineLength = 0x1228;      // wParam: a character index of the line
constexpr uint32_t ReplaceSel = 0x1229;      // wParam: can undo; lParam: const char*
constexpr uint32_t GetLine = 0x122A;         // wParam: line; lParam: char* whose first 16 bits give its room; no zero added
constexpr uint32_t LimitText = 0x122B;       // wParam: the most characters (0: the largest, 0x7FFFFFFE)
constexpr uint32_t GetLimitText = 0x122C;
constexpr uint32_t CanUndo = 0x122D;
constexpr uint32_t Undo = 0x122E;            // one step: undoing twice redoes
constexpr uint32_t EmptyUndoBuffer = 0x122F;
constexpr uint32_t SetReadOnly = 0x1230;     // wParam: read-only
constexpr uint32_t SetTabStops = 0x1231;     // wParam: count; lParam: const int* in dialog units (multi-line)
constexpr uint32_t PosFromChar = 0x1232;     // wParam: index; client position of the character's top-left, makeLParam(x, y)
constexpr uint32_t CharFromPos = 0x1233;     // lParam: makeLParam(x, y); makeLParam(index, line)
constexpr uint32_t LineFromChar = 0x1234;    // wParam: index (-1: the caret's line)
constexpr uint32_t GetFirstVisibleLine = 0x1235;
constexpr uint32_t SetPasswordChar = 0x1236;
constexpr uint32_t GetCaretIndex = 0x1237;   // where the caret is (the moving end of the selection)
}  // namespace em
namespace en {
constexpr uint32_t SetFocus = 0x0100;
constexpr uint32_t KillFocus = 0x0200;
constexpr uint32_t Change = 0x0300;    // the text changed by the user (after the change is shown)
constexpr uint32_t Update = 0x0400;    // the text changed, before it is shown
constexpr uint32_t MaxText = 0x0501;   // an insertion was cut at the text limit
}  // namespace en

// ---------------------------------------------------------------- static

namespace stm {
constexpr uint32_t SetIcon = 0x1260;    // wParam: Hicon value; returns the old one
constexpr uint32_t GetIcon = 0x1261;
constexpr uint32_t SetImage = 0x1262;   // wParam: ImageKind; lParam: handle value; returns the old one
constexpr uint32_t GetImage = 0x1263;   // wParam: ImageKind
}  // namespace stm
namespace stn {
constexpr uint32_t Clicked = 0;          // with ss::Notify
constexpr uint32_t DblClk = 1;
}  // namespace stn

// ---------------------------------------------------------------- list box

constexpr LResult kLbErr = -1;
namespace lb {
constexpr uint32_t AddString = 0x1280;       // lParam: const char*; the index (sorted lists: where it went)
constexpr uint32_t InsertString = 0x1281;    // wParam: index (-1: at the end)
constexpr uint32_t DeleteString = 0x1282;    // wParam: index; the count left
constexpr uint32_t ResetContent = 0x1283;
constexpr uint32_t GetCount = 0x1284;
constexpr uint32_t GetCurSel = 0x1285;       // single-selection lists; kLbErr when none
constexpr uint32_t SetCurSel = 0x1286;       // wParam: index (-1: none); kLbErr for -1 or out of range
constexpr uint32_t GetSel = 0x1287;          // wParam: index; selected (1) or not (0)
constexpr uint32_t SetSel = 0x1288;          // multiple selection: wParam select; lParam index (-1: all)
constexpr uint32_t GetSelCount = 0x1289;
constexpr uint32_t GetSelItems = 0x128A;     // wParam: room; lParam: int*; the count written
constexpr uint32_t GetText = 0x128B;         // wParam: index; lParam: char* (room for the length + 1)
constexpr uint32_t GetTextLen = 0x128C;
constexpr uint32_t FindString = 0x128D;      // wParam: index to start after (-1: from the top); lParam: prefix, any case
constexpr uint32_t FindStringExact = 0x128E; // the same for a whole text (any case)
constexpr uint32_t SelectString = 0x128F;    // FindString, then select it
constexpr uint32_t SetItemData = 0x1290;     // wParam: index; lParam: value
constexpr uint32_t GetItemData = 0x1291;
constexpr uint32_t GetTopIndex = 0x1292;
constexpr uint32_t SetTopIndex = 0x1293;
constexpr uint32_t GetItemHeight = 0x1294;
constexpr uint32_t SetItemHeight = 0x1295;   // lParam: height
constexpr uint32_t SetTabStops = 0x1296;     // wParam: count; lParam: const int* in dialog units
constexpr uint32_t GetItemRect = 0x1297;     // wParam: index; lParam: Rect*
constexpr uint32_t ItemFromPoint = 0x1298;   // lParam: client point; makeLParam(index, outside)
constexpr uint32_t GetCaretIndex = 0x1299;
constexpr uint32_t SetCaretIndex = 0x129A;
constexpr uint32_t GetAnchorIndex = 0x129B;
}  // namespace lb
namespace lbn {
constexpr uint32_t SelChange = 1;    // the user changed the selection (with lbs::Notify)
constexpr uint32_t DblClk = 2;       // with lbs::Notify
constexpr uint32_t SelCancel = 3;
constexpr uint32_t SetFocus = 4;
constexpr uint32_t KillFocus = 5;
}  // namespace lbn

// ---------------------------------------------------------------- combo box

constexpr LResult kCbErr = -1;
constexpr int kComboEditId = 1001;   // the id of the edit part of a combo box
namespace cb {
constexpr uint32_t AddString = 0x12C0;
constexpr uint32_t InsertString = 0x12C1;
constexpr uint32_t DeleteString = 0x12C2;
constexpr uint32_t ResetContent = 0x12C3;
constexpr uint32_t GetCount = 0x12C4;
constexpr uint32_t GetCurSel = 0x12C5;
constexpr uint32_t SetCurSel = 0x12C6;       // also sets the edit part's text; kCbErr for -1 or out of range
constexpr uint32_t GetLBText = 0x12C7;       // wParam: index; lParam: char*
constexpr uint32_t GetLBTextLen = 0x12C8;
constexpr uint32_t FindString = 0x12C9;
constexpr uint32_t FindStringExact = 0x12CA;
constexpr uint32_t SelectString = 0x12CB;
constexpr uint32_t SetItemData = 0x12CC;
constexpr uint32_t GetItemData = 0x12CD;
constexpr uint32_t LimitText = 0x12CE;       // of the edit part
constexpr uint32_t GetEditSel = 0x12CF;
constexpr uint32_t SetEditSel = 0x12D0;      // lParam: makeLParam(start, end)
constexpr uint32_t ShowDropDown = 0x12D1;    // wParam: dropped down (1) or closed (0)
constexpr uint32_t GetDroppedState = 0x12D2;
constexpr uint32_t GetDroppedControlRect = 0x12D3;   // lParam: Rect* on the screen: the combo with its list
constexpr uint32_t GetItemHeight = 0x12D4;   // wParam -1: the selection field; otherwise a list item
constexpr uint32_t SetItemHeight = 0x12D5;
constexpr uint32_t GetTopIndex = 0x12D6;
}  // namespace cb
namespace cbn {
constexpr uint32_t SelChange = 1;
constexpr uint32_t DblClk = 2;
constexpr uint32_t SetFocus = 3;
constexpr uint32_t KillFocus = 4;
constexpr uint32_t EditChange = 5;
constexpr uint32_t EditUpdate = 6;
constexpr uint32_t DropDown = 7;
constexpr uint32_t CloseUp = 8;
constexpr uint32_t SelEndOk = 9;
constexpr uint32_t SelEndCancel = 10;
}  // namespace cbn

// ---------------------------------------------------------------- scroll bars

enum ScrollBarKind : int { kSbHorz = 0, kSbVert = 1, kSbCtl = 2, kSbBoth = 3 };
namespace sif {
constexpr uint32_t Range = 0x01;
constexpr uint32_t Page = 0x02;
constexpr uint32_t Pos = 0x04;
constexpr uint32_t DisableNoScroll = 0x08;   // a bar with nothing to scroll is disabled, not hidden
constexpr uint32_t TrackPos = 0x10;
constexpr uint32_t All = Range | Page | Pos | TrackPos;
}  // namespace sif
struct ScrollInfo {
  uint32_t mask = sif::All;
  int min = 0;
  int max = 0;
  unsigned page = 0;
  int pos = 0;
  int trackPos = 0;
};
namespace sbm {
constexpr uint32_t SetPos = 0x1300;        // wParam: position; lParam: redraw; the old position
constexpr uint32_t GetPos = 0x1301;
constexpr uint32_t SetRange = 0x1302;      // wParam: min; lParam: max
constexpr uint32_t GetRange = 0x1303;      // wParam, lParam: int* min, max
constexpr uint32_t SetScrollInfo = 0x1304; // wParam: redraw; lParam: const ScrollInfo*; the position
constexpr uint32_t GetScrollInfo = 0x1305; // lParam: ScrollInfo*
constexpr uint32_t EnableArrows = 0x1306;  // wParam: 0 both enabled, 3 both disabled
}  // namespace sbm
// Scroll bars of a window (kSbHorz, kSbVert: its frame's bars, with
// ws::HScroll / ws::VScroll) or of a scroll bar control (kSbCtl). The
// position is kept within min .. max - max(page - 1, 0).
int setScrollInfo(Hwnd w, int bar, const ScrollInfo& si, bool redraw);
bool getScrollInfo(Hwnd w, int bar, ScrollInfo& si);
int setScrollPos(Hwnd w, int bar, int pos, bool redraw);
int getScrollPos(Hwnd w, int bar);
bool setScrollRange(Hwnd w, int bar, int min, int max, bool redraw);
bool enableScrollBar(Hwnd w, int bar, bool enable);
// Whether the window's bar (kSbHorz, kSbVert) is disabled for want of
// anything to scroll (sif::DisableNoScroll).
bool scrollBarDisabled(Hwnd w, int bar);
// What a window's own bar (kSbHorz, kSbVert) shows: its settings, whether
// it takes the pointer (enabled, with something to scroll) and the part
// held down (as look::ScrollLook numbers it, -1 none). False for others.
bool windowScrollBarLook(Hwnd w, int bar, ScrollInfo& si, bool& enabled, int& pressed);

// ---------------------------------------------------------------- progress bar

namespace pbm {
constexpr uint32_t SetRange = 0x1320;    // lParam: makeLParam(min, max), 16 bits each; the old range
constexpr uint32_t SetPos = 0x1321;      // wParam: position; the old one
constexpr uint32_t DeltaPos = 0x1322;    // wParam: added to the position
constexpr uint32_t SetStep = 0x1323;
constexpr uint32_t StepIt = 0x1324;      // position + step, wrapping to the minimum past the maximum
constexpr uint32_t SetRange32 = 0x1325;  // wParam: min; lParam: max
constexpr uint32_t GetRange = 0x1326;    // wParam: true for the minimum, false for the maximum
constexpr uint32_t GetPos = 0x1327;
}  // namespace pbm

// ---------------------------------------------------------------- up-down

struct UpDownAccel {
  unsigned seconds = 0;     // held this long ...
  unsigned increment = 1;   // ... each step moves this far
};
namespace udm {
constexpr uint32_t SetRange = 0x1340;    // lParam: makeLParam(max, min), 16 bits each
constexpr uint32_t GetRange = 0x1341;    // makeLParam(max, min)
constexpr uint32_t SetPos = 0x1342;      // lParam: position; the old one
constexpr uint32_t GetPos = 0x1343;      // makeLParam(position, error): error 1 when the buddy's text is no number
constexpr uint32_t SetBuddy = 0x1344;    // wParam: Hwnd value; the old buddy
constexpr uint32_t GetBuddy = 0x1345;
constexpr uint32_t SetAccel = 0x1346;    // wParam: count; lParam: const UpDownAccel*
constexpr uint32_t GetAccel = 0x1347;    // wParam: room; lParam: UpDownAccel*; the count
constexpr uint32_t SetRange32 = 0x1348;  // wParam: min; lParam: max
constexpr uint32_t GetRange32 = 0x1349;  // wParam, lParam: int* min, max
constexpr uint32_t SetBase = 0x134A;     // 10 or 16
constexpr uint32_t GetBase = 0x134B;
}  // namespace udm
// Notify to the parent before the position moves: a non-zero answer stops the
// move. After a move the parent gets VScroll (HScroll with uds::Horz) with
// kSbThumbPosition and the new position, and kSbEndScroll when the button is
// let go.
struct NmUpDown {
  NotifyHeader hdr;
  int pos = 0;     // the position before the move
  int delta = 0;   // the proposed change: +/- the increment of the acceleration step
};
namespace udn {
constexpr int DeltaPos = -1300;
}

// ---------------------------------------------------------------- tab control

struct TcItem {
  uint32_t mask = 0;                  // tcif::
  std::string text;
  int image = -1;
  std::array<uint8_t, 32> data{};     // the application's item data (TCM SetItemExtra bytes; 8 by default)
};
namespace tcif {
constexpr uint32_t Text = 0x01;
constexpr uint32_t Image = 0x02;
constexpr uint32_t Param = 0x08;
}  // namespace tcif
namespace tcm {
constexpr uint32_t GetItemCount = 0x1360;
constexpr uint32_t GetItem = 0x1361;       // wParam: index; lParam: TcItem* (mask says what to fill)
constexpr uint32_t SetItem = 0x1362;       // wParam: index; lParam: const TcItem*
constexpr uint32_t InsertItem = 0x1363;    // wParam: index; lParam: const TcItem*; the index, -1 on failure
constexpr uint32_t DeleteItem = 0x1364;
constexpr uint32_t DeleteAllItems = 0x1365;
constexpr uint32_t GetItemRect = 0x1366;   // wParam: index; lParam: Rect* (client)
constexpr uint32_t GetCurSel = 0x1367;     // -1 when none
constexpr uint32_t SetCurSel = 0x1368;     // no notifications; the old selection, -1 when out of range
constexpr uint32_t AdjustRect = 0x1369;    // wParam: larger (window from display) or not; lParam: Rect* in out
constexpr uint32_t SetItemExtra = 0x136A;  // wParam: bytes of item data (1..32); only while there are no items
constexpr uint32_t GetCurFocus = 0x136B;
constexpr uint32_t SetCurFocus = 0x136C;
constexpr uint32_t HitTest = 0x136D;       // lParam: const Point* (client); the index or -1
}  // namespace tcm
namespace tcn {
constexpr int SelChanging = -1400;   // a non-zero answer keeps the present tab
constexpr int SelChange = -1401;
}  // namespace tcn

// ---------------------------------------------------------------- header

struct HdItem {
  uint32_t mask = 0;     // hdi::
  int cxy = 0;           // width
  std::string text;
  int format = 0;        // hdf::
  LParam param = 0;
};
namespace hdi {
constexpr uint32_t Width = 0x01;
constexpr uint32_t Text = 0x02;
constexpr uint32_t Format = 0x04;
constexpr uint32_t Param = 0x08;
}  // namespace hdi
namespace hdf {
constexpr int Left = 0;
constexpr int Right = 1;
constexpr int Center = 2;
}  // namespace hdf
namespace hdm {
constexpr uint32_t GetItemCount = 0x1380;
constexpr uint32_t InsertItem = 0x1381;    // wParam: index; lParam: const HdItem*; the index
constexpr uint32_t DeleteItem = 0x1382;
constexpr uint32_t GetItem = 0x1383;       // wParam: index; lParam: HdItem*
constexpr uint32_t SetItem = 0x1384;       // wParam: index; lParam: const HdItem*
constexpr uint32_t GetItemRect = 0x1385;   // wParam: index; lParam: Rect*
constexpr uint32_t HitTest = 0x1386;       // lParam: HdHitTest*
constexpr uint32_t Layout = 0x1387;        // lParam: HdLayout*
}  // namespace hdm
struct HdHitTest {
  Point pt;
  int item = -1;
  bool onDivider = false;   // on the right edge of `item`, where it is sized
};
struct HdLayout {
  Rect* rect = nullptr;     // in: the parent's area; out: what is left below the header
  Rect* placement = nullptr;  // out: where the header goes
};
struct NmHeader {
  NotifyHeader hdr;
  int item = -1;
  int button = 0;           // 0 left, 1 right, 2 middle
  // Tracking: the width the pointer proposes; the parent may change it
  // while the divider is dragged (hdn::Track), and the item takes it.
  HdItem* pitem = nullptr;
};
namespace hdn {
constexpr int ItemChanging = -1500;  // a non-zero answer refuses the change
constexpr int ItemChanged = -1501;
constexpr int ItemClick = -1502;
constexpr int DividerDblClick = -1503;
constexpr int BeginTrack = -1504;    // a non-zero answer refuses the drag
constexpr int EndTrack = -1505;
constexpr int Track = -1506;         // a non-zero answer ends the drag
}  // namespace hdn

// ---------------------------------------------------------------- trackbar

namespace tbm {
constexpr uint32_t GetPos = 0x13A0;
constexpr uint32_t GetRangeMin = 0x13A1;
constexpr uint32_t GetRangeMax = 0x13A2;
constexpr uint32_t SetPos = 0x13A3;        // wParam: redraw; lParam: position
constexpr uint32_t SetRange = 0x13A4;      // wParam: redraw; lParam: makeLParam(min, max)
constexpr uint32_t SetRangeMin = 0x13A5;   // wParam: redraw; lParam: min
constexpr uint32_t SetRangeMax = 0x13A6;
constexpr uint32_t SetSel = 0x13A7;        // wParam: redraw; lParam: makeLParam(start, end)
constexpr uint32_t SetSelStart = 0x13A8;
constexpr uint32_t SetSelEnd = 0x13A9;
constexpr uint32_t GetSelStart = 0x13AA;
constexpr uint32_t GetSelEnd = 0x13AB;
constexpr uint32_t ClearSel = 0x13AC;      // wParam: redraw
constexpr uint32_t SetTicFreq = 0x13AD;    // wParam: every this many positions
constexpr uint32_t GetNumTics = 0x13AE;    // the tick marks, both ends counted
constexpr uint32_t SetPageSize = 0x13AF;   // lParam: size; the old one
constexpr uint32_t GetPageSize = 0x13B0;
constexpr uint32_t SetLineSize = 0x13B1;
constexpr uint32_t GetLineSize = 0x13B2;
constexpr uint32_t GetThumbRect = 0x13B3;  // lParam: Rect*
constexpr uint32_t GetChannelRect = 0x13B4;
constexpr uint32_t ClearTics = 0x13B5;
constexpr uint32_t GetTicFreq = 0x13B6;
}  // namespace tbm

// ---------------------------------------------------------------- tree view

using HTreeItem = uintptr_t;   // 0: none
constexpr HTreeItem kTviRoot = static_cast<HTreeItem>(-0x10000);   // insert at the top level
constexpr HTreeItem kTviFirst = static_cast<HTreeItem>(-0xFFFF);
constexpr HTreeItem kTviLast = static_cast<HTreeItem>(-0xFFFE);
namespace tvif {
constexpr uint32_t Text = 0x01;
constexpr uint32_t Param = 0x02;
constexpr uint32_t State = 0x04;
constexpr uint32_t Children = 0x08;
}  // namespace tvif
namespace tvis {
constexpr uint32_t Selected = 0x02;
constexpr uint32_t Bold = 0x10;
constexpr uint32_t Expanded = 0x20;
}  // namespace tvis
struct TvItem {
  uint32_t mask = 0;
  HTreeItem item = 0;
  uint32_t state = 0;
  uint32_t stateMask = 0;
  std::string text;
  int children = 0;      // out: the item has children (1) or not (0)
  LParam param = 0;
};
struct TvInsert {
  HTreeItem parent = kTviRoot;
  HTreeItem insertAfter = kTviLast;
  TvItem item;
};
enum TvNext : uint32_t {
  kTvgnRoot = 0,
  kTvgnNext = 1,
  kTvgnPrevious = 2,
  kTvgnParent = 3,
  kTvgnChild = 4,
  kTvgnFirstVisible = 5,
  kTvgnNextVisible = 6,
  kTvgnPreviousVisible = 7,
  kTvgnCaret = 9,        // the selected item
};
enum TvExpand : uint32_t { kTveCollapse = 1, kTveExpand = 2, kTveToggle = 3 };
namespace tvm {
constexpr uint32_t InsertItem = 0x13E0;    // lParam: const TvInsert*; the new item, 0 on failure
constexpr uint32_t DeleteItem = 0x13E1;    // lParam: item (kTviRoot: all)
constexpr uint32_t Expand = 0x13E2;        // wParam: TvExpand; lParam: item
constexpr uint32_t GetItemRect = 0x13E3;   // wParam: text only; lParam: Rect* whose first field holds the item on entry
constexpr uint32_t GetCount = 0x13E4;
constexpr uint32_t GetIndent = 0x13E5;
constexpr uint32_t SetIndent = 0x13E6;
constexpr uint32_t GetNextItem = 0x13E7;   // wParam: TvNext; lParam: item
constexpr uint32_t SelectItem = 0x13E8;    // wParam: kTvgnCaret; lParam: item (0: none)
constexpr uint32_t GetItem = 0x13E9;       // lParam: TvItem* (item and mask filled in)
constexpr uint32_t SetItem = 0x13EA;       // lParam: const TvItem*
constexpr uint32_t HitTest = 0x13EB;       // lParam: const Point* (client); the item or 0
constexpr uint32_t EnsureVisible = 0x13EC;
constexpr uint32_t GetVisibleCount = 0x13ED;
}  // namespace tvm
enum TvAction : uint32_t { kTvcUnknown = 0, kTvcByMouse = 1, kTvcByKeyboard = 2 };
struct NmTreeView {
  NotifyHeader hdr;
  uint32_t action = 0;   // TvAction, or TvExpand for expanding
  TvItem itemOld;
  TvItem itemNew;
  Point ptDrag;
};
namespace tvn {
constexpr int SelChanging = -1600;   // a non-zero answer keeps the selection
constexpr int SelChanged = -1601;
constexpr int ItemExpanding = -1602; // a non-zero answer refuses
constexpr int ItemExpanded = -1603;
constexpr int DeleteItem = -1604;
}  // namespace tvn

// Generic notifications of the common controls (Notify codes).
namespace nm {
constexpr int Click = -2;
constexpr int DblClk = -3;
constexpr int RClick = -5;
constexpr int SetFocus = -7;
constexpr int KillFocus = -8;
}  // namespace nm


// ---------------------------------------------------------------- rich edit
//
// Multi-line text with character and paragraph formats. The class
// kRichEdit20Class comes with the module "riched20.dll", kRichEdit10Class
// with "riched32.dll" (see offerRichEditModules). The older class keeps a
// line end as CR LF (two characters), has one step of undo (undoing again
// redoes) and searches only downward; the newer one keeps a line end as a
// lone CR, groups typed characters into one undo step and redoes.
// Text given with LF or CR LF line ends is taken in with the class's own.
// wm::GetText and wm::GetTextLength give line ends as CR LF.

inline constexpr const char* kRichEdit20Class = "RichEdit20A";
inline constexpr const char* kRichEdit10Class = "RICHEDIT";

struct CharRange {
  int min = 0;
  int max = 0;   // -1: the end of the text
};

// Character formats: the mask says which fields count; effects hold the
// on-off attributes.
namespace cfm {
constexpr uint32_t Bold = 0x1;
constexpr uint32_t Italic = 0x2;
constexpr uint32_t Underline = 0x4;
constexpr uint32_t StrikeOut = 0x8;
constexpr uint32_t Protected = 0x10;
constexpr uint32_t CharSet = 0x08000000;
constexpr uint32_t Face = 0x20000000;
constexpr uint32_t Colour = 0x40000000;
constexpr uint32_t Size = 0x80000000;
constexpr uint32_t BackColour = 0x04000000;
constexpr uint32_t Effects = Bold | Italic | Underline | StrikeOut | Protected;
constexpr uint32_t All = Effects | CharSet | Face | Colour | Size | BackColour;
}  // namespace cfm
namespace cfe {
constexpr uint32_t Bold = 0x1;
constexpr uint32_t Italic = 0x2;
constexpr uint32_t Underline = 0x4;
constexpr uint32_t StrikeOut = 0x8;
constexpr uint32_t Protected = 0x10;
constexpr uint32_t AutoBackColour = 0x04000000;
constexpr uint32_t AutoColour = 0x40000000;
}  // namespace cfe
struct CharFormat {
  uint32_t mask = 0;
  uint32_t effects = 0;
  int height = 0;            // twips
  uint32_t colour = 0;       // 0x00BBGGRR, unless cfe::AutoColour
  uint32_t backColour = 0;   // unless cfe::AutoBackColour
  int charSet = 0;
  int pitchAndFamily = 0;
  std::string face;
};
// Which characters SetCharFormat changes (wParam).
namespace scf {
constexpr uint32_t Default = 0x0;     // the format of text to come
constexpr uint32_t Selection = 0x1;   // the selection, or what is typed at an empty one
constexpr uint32_t Word = 0x2;        // with Selection: an empty selection takes its word
constexpr uint32_t All = 0x4;
}  // namespace scf

// Paragraph formats; indents in twips.
namespace pfm {
constexpr uint32_t StartIndent = 0x1;
constexpr uint32_t RightIndent = 0x2;
constexpr uint32_t Offset = 0x4;
constexpr uint32_t Alignment = 0x8;
constexpr uint32_t TabStops = 0x10;
constexpr uint32_t Numbering = 0x20;
constexpr uint32_t All = 0x3F;
}  // namespace pfm
enum ParaAlign : int { kAlignLeft = 1, kAlignRight = 2, kAlignCentre = 3 };
inline constexpr int kBullets = 1;   // ParaFormat::numbering
struct ParaFormat {
  uint32_t mask = 0;
  int numbering = 0;
  int alignment = kAlignLeft;
  int startIndent = 0;
  int rightIndent = 0;
  int offset = 0;
  std::vector<int> tabs;   // twips, ascending
};

// Streams: the control asks the callback for bytes (stream in) or hands it
// bytes (stream out), block by block. The callback gives the bytes moved in
// *done and answers 0 to go on; any other answer ends the stream and stays
// in `error`.
using EditStreamCallback = uint32_t (*)(uintptr_t cookie, uint8_t* buffer, int32_t count, int32_t* done);
struct EditStream {
  uintptr_t cookie = 0;
  uint32_t error = 0;
  EditStreamCallback callback = nullptr;
};
// The error of a rich-text stream whose data is no rich text.
constexpr uint32_t kStreamNotRichText = static_cast<uint32_t>(-16);
namespace sf {
constexpr uint32_t Text = 0x1;
constexpr uint32_t Rtf = 0x2;
constexpr uint32_t Selection = 0x8000;   // only the selection is replaced or written
}  // namespace sf

// Find flags of the rich-edit control (the same bits as the find dialog's).
namespace ft {
constexpr uint32_t Down = 0x1;
constexpr uint32_t WholeWord = 0x2;
constexpr uint32_t MatchCase = 0x4;
}  // namespace ft
struct FindTextEx {
  CharRange range;           // down: from min to max; up: from min back to max
  const char* text = nullptr;
  CharRange found;
};
struct TextRange {
  CharRange range;
  char* text = nullptr;      // room for the range and a zero
};
// A range of text laid out in twips onto a device context.
struct FormatRange {
  Hdc dc = 0;
  Rect rect;                 // twips, where the text goes
  Rect page;                 // twips, the whole page
  CharRange range;
};

// Event mask: what the control tells its parent.
namespace enm {
constexpr uint32_t Change = 0x1;
constexpr uint32_t Scroll = 0x4;
constexpr uint32_t KeyEvents = 0x10000;
constexpr uint32_t MouseEvents = 0x20000;
constexpr uint32_t SelChange = 0x80000;
constexpr uint32_t Protected = 0x200000;
}  // namespace enm

namespace emr {
constexpr uint32_t ExGetSel = 0x1400;          // lParam: CharRange*
constexpr uint32_t ExSetSel = 0x1401;          // lParam: const CharRange*; the selection's end
constexpr uint32_t HideSelection = 0x1402;     // wParam: hide
constexpr uint32_t GetSelText = 0x1403;        // lParam: char* with room; the count copied
constexpr uint32_t GetTextRange = 0x1404;      // lParam: TextRange*; the count copied
constexpr uint32_t ExLimitText = 0x1405;       // lParam: the most characters
constexpr uint32_t SetEventMask = 0x1406;      // lParam: enm bits; the old mask
constexpr uint32_t GetEventMask = 0x1407;
constexpr uint32_t Redo = 0x1408;
constexpr uint32_t CanRedo = 0x1409;
constexpr uint32_t StopGroupTyping = 0x140A;
constexpr uint32_t FindTextEx = 0x140B;        // wParam: ft bits; lParam: FindTextEx*; the found start or -1
constexpr uint32_t GetCharFormat = 0x140C;     // wParam: scf::Selection or Default; lParam: CharFormat*; mask: uniform fields
constexpr uint32_t SetCharFormat = 0x140D;     // wParam: scf bits; lParam: const CharFormat*
constexpr uint32_t GetParaFormat = 0x140E;     // lParam: ParaFormat* (the selected paragraphs); mask: uniform fields
constexpr uint32_t SetParaFormat = 0x140F;     // lParam: const ParaFormat*
constexpr uint32_t LineScroll = 0x1410;        // wParam: columns; lParam: lines
constexpr uint32_t Scroll = 0x1411;            // wParam: kSbLineUp/Down, kSbPageUp/Down; lines moved
constexpr uint32_t GetZoom = 0x1412;           // wParam, lParam: int* numerator, denominator (0, 0: none)
constexpr uint32_t SetZoom = 0x1413;           // wParam, lParam: numerator, denominator (0, 0: none)
constexpr uint32_t StreamIn = 0x1414;          // wParam: sf bits; lParam: EditStream*; characters read
constexpr uint32_t StreamOut = 0x1415;         // wParam: sf bits; lParam: EditStream*; bytes written
constexpr uint32_t FormatRange = 0x1416;       // wParam: draw; lParam: FormatRange* (null: done); first character not laid out
// wParam: the character at the older classes and at version 3 of the newer
// one, lParam: Point* answer; at version 2 wParam is the character and the
// answer is packed makeLParam(x, y).
constexpr uint32_t PosFromChar = 0x1417;
}  // namespace emr
// Command notifications beside en::Change, en::SetFocus and en::KillFocus.
namespace en {
constexpr uint32_t VScroll = 0x0602;
}  // namespace en
// Notify codes of the rich-edit control.
namespace ren {
constexpr int MsgFilter = -1700;   // a key or mouse message (a non-zero answer swallows it)
constexpr int SelChange = -1701;
constexpr int Protected = -1702;   // a change of protected text (a non-zero answer refuses it)
}  // namespace ren
struct MsgFilter {
  NotifyHeader hdr;
  uint32_t msg = 0;
  WParam wParam = 0;
  LParam lParam = 0;
};
struct SelChange {
  NotifyHeader hdr;
  CharRange range;
};
struct EnProtected {
  NotifyHeader hdr;
  uint32_t msg = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  CharRange range;
};

// Which rich-edit modules this machine offers (tests): 3 both, the newer
// one answering positions as points; 2 both, the newer one answering them
// packed; 1 only "riched32.dll". Every other value offers both at 3.
void offerRichEditModules(int level);
int offeredRichEditLevel();

// ---------------------------------------------------------------- shared

// The state record of each control kind lives beside its window; a test
// reset frees them all.
namespace detail {
void registerControlClasses();
void resetControls();
}  // namespace detail

}  // namespace plat
