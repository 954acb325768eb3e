#include <cstdio>

#include "platform/win/WinState.h"

namespace plat {

std::string messageName(uint32_t message) {
  struct Entry {
    uint32_t n;
    const char* name;
  };
  static constexpr Entry kNames[] = {
      {wm::Null, "Null"}, {wm::NcCreate, "NcCreate"}, {wm::Create, "Create"}, {wm::Destroy, "Destroy"},
      {wm::NcDestroy, "NcDestroy"}, {wm::Close, "Close"}, {wm::Quit, "Quit"}, {wm::Move, "Move"},
      {wm::Size, "Size"}, {wm::WindowPosChanging, "WindowPosChanging"}, {wm::WindowPosChanged, "WindowPosChanged"},
      {wm::GetMinMaxInfo, "GetMinMaxInfo"}, {wm::ShowWindow, "ShowWindow"}, {wm::Enable, "Enable"},
      {wm::StyleChanging, "StyleChanging"}, {wm::StyleChanged, "StyleChanged"}, {wm::SetText, "SetText"},
      {wm::GetText, "GetText"}, {wm::GetTextLength, "GetTextLength"}, {wm::SetFont, "SetFont"},
      {wm::GetFont, "GetFont"}, {wm::SetIcon, "SetIcon"}, {wm::GetIcon, "GetIcon"}, {wm::SetRedraw, "SetRedraw"},
      {wm::ParentNotify, "ParentNotify"}, {wm::Notify, "Notify"}, {wm::Command, "Command"},
      {wm::SysCommand, "SysCommand"}, {wm::Timer, "Timer"}, {wm::Help, "Help"}, {wm::ContextMenu, "ContextMenu"},
      {wm::GetDlgCode, "GetDlgCode"}, {wm::Activate, "Activate"}, {wm::ActivateApp, "ActivateApp"},
      {wm::NcActivate, "NcActivate"}, {wm::MouseActivate, "MouseActivate"}, {wm::SetFocus, "SetFocus"},
      {wm::KillFocus, "KillFocus"}, {wm::CaptureChanged, "CaptureChanged"}, {wm::Paint, "Paint"},
      {wm::EraseBkgnd, "EraseBkgnd"}, {wm::NcPaint, "NcPaint"}, {wm::PaletteChanged, "PaletteChanged"},
      {wm::QueryNewPalette, "QueryNewPalette"}, {wm::EnterSizeMove, "EnterSizeMove"},
      {wm::ExitSizeMove, "ExitSizeMove"}, {wm::Moving, "Moving"}, {wm::Sizing, "Sizing"},
      {wm::InitMenu, "InitMenu"}, {wm::InitMenuPopup, "InitMenuPopup"}, {wm::MenuSelect, "MenuSelect"},
      {wm::EnterMenuLoop, "EnterMenuLoop"}, {wm::ExitMenuLoop, "ExitMenuLoop"}, {wm::NcHitTest, "NcHitTest"},
      {wm::NcMouseMove, "NcMouseMove"}, {wm::NcLButtonDown, "NcLButtonDown"}, {wm::NcLButtonUp, "NcLButtonUp"},
      {wm::NcLButtonDblClk, "NcLButtonDblClk"}, {wm::NcRButtonDown, "NcRButtonDown"},
      {wm::NcRButtonUp, "NcRButtonUp"}, {wm::NcRButtonDblClk, "NcRButtonDblClk"},
      {wm::NcMButtonDown, "NcMButtonDown"}, {wm::NcMButtonUp, "NcMButtonUp"},
      {wm::NcMButtonDblClk, "NcMButtonDblClk"}, {wm::SetCursor, "SetCursor"}, {wm::KeyDown, "KeyDown"},
      {wm::KeyUp, "KeyUp"}, {wm::Char, "Char"}, {wm::SysKeyDown, "SysKeyDown"}, {wm::SysKeyUp, "SysKeyUp"},
      {wm::SysChar, "SysChar"}, {wm::MouseMove, "MouseMove"}, {wm::LButtonDown, "LButtonDown"},
      {wm::LButtonUp, "LButtonUp"}, {wm::LButtonDblClk, "LButtonDblClk"}, {wm::RButtonDown, "RButtonDown"},
      {wm::RButtonUp, "RButtonUp"}, {wm::RButtonDblClk, "RButtonDblClk"}, {wm::MButtonDown, "MButtonDown"},
      {wm::MButtonUp, "MButtonUp"}, {wm::MButtonDblClk, "MButtonDblClk"}, {wm::MouseWheel, "MouseWheel"},
      {wm::SysTimer, "SysTimer"},
  };
  for (const Entry& e : kNames)
    if (e.n == message) return e.name;
  const auto& reg = detail::state().registeredNames;
  if (auto it = reg.find(message); it != reg.end()) return it->second;
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04X", message);
  return buf;
}

}  // namespace plat
