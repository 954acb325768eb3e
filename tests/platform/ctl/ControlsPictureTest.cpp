// A dialog holding one control of each kind, compared with its golden
// picture. To make the golden again: QUILLON_UPDATE_GOLDENS=1 and run this
// test, then look at tests/golden/platform_dialog_controls.png. The group box
// comes after the buttons it frames, so that it is drawn below them.
#include <gtest/gtest.h>

#include <string>

#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/res/Resources.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"
#include "tests/support/GoldenPicture.h"

using namespace plat;

namespace {

constexpr const char* kDialog = R"(
DIALOG 400
  CAPTION "Controls"
  STYLE POPUP CAPTION SYSMENU MODALFRAME
  FONT 8 "MS Sans Serif"
  RECT 0 0 260 196
  CONTROL STATIC -1 "&Name:" 8 10 30 8
  CONTROL EDIT 1001 "Quillon" 40 8 80 12 TABSTOP BORDER
  CONTROL BUTTON 1003 "Check box" 136 16 60 10 AUTOCHECKBOX TABSTOP
  CONTROL BUTTON 1004 "Radio one" 136 28 60 10 AUTORADIOBUTTON GROUP TABSTOP
  CONTROL BUTTON 1005 "Radio two" 196 28 54 10 AUTORADIOBUTTON
  CONTROL BUTTON 1002 "Settings" 130 4 122 44 GROUPBOX GROUP
  CONTROL COMBOBOX 1006 "" 40 24 80 60 DROPDOWNLIST TABSTOP
  CONTROL LISTBOX 1007 "" 8 40 56 40 TABSTOP BORDER
  CONTROL EDIT 1008 "12" 70 40 40 12 TABSTOP BORDER
  CONTROL msctls_updown32 1009 "" 110 40 10 12 ALIGNRIGHT SETBUDDYINT
  CONTROL msctls_progress32 1010 "" 70 58 180 8
  CONTROL msctls_trackbar32 1011 "" 130 70 120 18 TABSTOP
  CONTROL STATIC -1 "" 8 86 244 2 ETCHEDHORZ
  CONTROL SysTabControl32 1012 "" 8 92 120 50 TABSTOP
  CONTROL SysHeader32 1013 "" 136 92 116 12 BUTTONS
  CONTROL SysTreeView32 1014 "" 136 106 116 40 HASBUTTONS LINESATROOT SHOWSELALWAYS BORDER
  CONTROL SCROLLBAR 1015 "" 8 148 120 10 HORZ
  CONTROL EDIT 1016 "Read only" 136 150 60 12 READONLY BORDER
  CONTROL BUTTON 1 "OK" 146 176 50 14 DEFPUSHBUTTON TABSTOP GROUP
  CONTROL BUTTON 2 "Cancel" 202 176 50 14 PUSHBUTTON TABSTOP
  CONTROL SCROLLBAR -1 "" 250 186 10 10 SIZEGRIP
END
)";

intptr_t fillProc(Hwnd dlg, uint32_t message, WParam, LParam) {
  if (message != wm::InitDialog) return 0;
  for (const char* t : {"Half-space", "Two layers", "Three layers"}) {
    sendDlgItemMessage(dlg, 1006, cb::AddString, 0, reinterpret_cast<LParam>(t));
    sendDlgItemMessage(dlg, 1007, lb::AddString, 0, reinterpret_cast<LParam>(t));
  }
  sendDlgItemMessage(dlg, 1006, cb::SetCurSel, 1);
  sendDlgItemMessage(dlg, 1007, lb::SetCurSel, 2);
  checkDlgButton(dlg, 1003, kBstChecked);
  checkDlgButton(dlg, 1005, kBstChecked);
  sendDlgItemMessage(dlg, 1009, udm::SetBuddy, toParam(getDlgItem(dlg, 1008)));
  sendDlgItemMessage(dlg, 1009, udm::SetPos, 0, 12);
  sendDlgItemMessage(dlg, 1010, pbm::SetPos, 60);
  sendDlgItemMessage(dlg, 1011, tbm::SetRange, 0, makeLParam(0, 10));
  sendDlgItemMessage(dlg, 1011, tbm::SetPos, 1, 7);
  for (const char* t : {"Rho", "Time"}) {
    TcItem it;
    it.mask = tcif::Text;
    it.text = t;
    sendDlgItemMessage(dlg, 1012, tcm::InsertItem, 9, reinterpret_cast<LParam>(&it));
  }
  for (const char* t : {"Layer", "Value"}) {
    HdItem it;
    it.mask = hdi::Text | hdi::Width;
    it.text = t;
    it.cxy = 70;
    sendDlgItemMessage(dlg, 1013, hdm::InsertItem, 9, reinterpret_cast<LParam>(&it));
  }
  Hwnd tree = getDlgItem(dlg, 1014);
  TvInsert in;
  in.item.mask = tvif::Text;
  in.item.text = "Model";
  HTreeItem root = static_cast<HTreeItem>(sendMessage(tree, tvm::InsertItem, 0, reinterpret_cast<LParam>(&in)));
  in.parent = root;
  in.item.text = "Layer 1";
  HTreeItem child = static_cast<HTreeItem>(sendMessage(tree, tvm::InsertItem, 0, reinterpret_cast<LParam>(&in)));
  in.item.text = "Layer 2";
  sendMessage(tree, tvm::InsertItem, 0, reinterpret_cast<LParam>(&in));
  sendMessage(tree, tvm::Expand, kTveExpand, static_cast<LParam>(root));
  sendMessage(tree, tvm::SelectItem, kTvgnCaret, static_cast<LParam>(child));
  ScrollInfo si;
  si.mask = sif::Range | sif::Page | sif::Pos;
  si.max = 99;
  si.page = 20;
  si.pos = 30;
  setScrollInfo(getDlgItem(dlg, 1015), kSbCtl, si, true);
  return 1;
}

TEST(ControlsPictureTest, DialogWithOneControlOfEachKind) {
  test::reset();
  res::pushOverlay(kDialog, "controls");
  Hwnd dlg = createDialogParam(400, {}, fillProc);
  ASSERT_TRUE(dlg);
  showWindow(dlg, ShowCmd::ShowNormal);
  setFocus(getDlgItem(dlg, 1001));
  sendDlgItemMessage(dlg, 1001, em::SetSel, 0, -1);
  redrawWindow(dlg, nullptr, kRdwInvalidate | kRdwErase | kRdwFrame | kRdwAllChildren | kRdwUpdateNow);
  Surface pic;
  ASSERT_TRUE(test::windowPicture(dlg, true, pic));
  testsupport::ExpectGoldenPicture(pic, "platform_dialog_controls.png");
  test::reset();
}

}  // namespace
