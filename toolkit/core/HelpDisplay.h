// Help display: shows a help file in the viewer that suits its kind. Our
// own help files (".hlp") go to the platform's help viewer; compiled HTML
// help (".chm", ".col", "ms-its:") to the HTML help library loaded at run
// time; web pages and addresses (".htm", ".html", "http://") and ".pdf"
// files open with the desktop's opener, xdg-open. Errors go to the error
// reporter under "WHelpFile".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Types.h"

// The HtmlHelp command numbers the HTML help entry takes.
namespace hh {
constexpr uint32_t DisplayTopic = 0x0000;
constexpr uint32_t DisplayToc = 0x0001;
constexpr uint32_t KeywordLookup = 0x000D;
constexpr uint32_t DisplayTextPopup = 0x000E;
constexpr uint32_t HelpContext = 0x000F;
constexpr uint32_t CloseAll = 0x0012;
}  // namespace hh

// The HH_POPUP record of a text popup (its size word says 52).
struct HhPopupRecord {
  int32_t Size = 52;
  uintptr_t Instance = 0;
  uint32_t TextId = 0;
  const char* Text = nullptr;
  plat::Point Position;
  int32_t Foreground = -1;
  int32_t Background = -1;
  plat::Rect Margins{-1, -1, -1, -1};
  const char* Font = nullptr;
};
// The HH_AKLINK record of a keyword look-up (its size word says 32).
struct HhAkLinkRecord {
  int32_t Size = 32;
  int32_t Reserved = 0;
  const char* Keywords = nullptr;
  const char* Url = nullptr;
  const char* MessageText = nullptr;
  const char* MessageTitle = nullptr;
  const char* Window = nullptr;
  int32_t IndexOnFail = 1;
};
// The "yyHtmlHelp" entry of "vidado.dll": window, file, command, data; a
// zero result is a failure.
using HtmlHelpEntry = uintptr_t (*)(plat::Hwnd window, const char* file, uint32_t command, uintptr_t data);

void WHelpFile(std::string_view name, int32_t topic = -1, std::string_view topicText = "", int32_t popup = 0,
               int32_t lookup = 0);

void YYWinHelpShow(int32_t mode, int32_t popup, int32_t topic, int32_t& error, const std::string& file,
                   std::string_view topicText);
void YYHtmlHelpShow(int32_t mode, int32_t popup, int32_t topic, int32_t& error, const std::string& file,
                    std::string_view topicText);
void YYBrowserShow(int32_t mode, int32_t topic, int32_t& error, const std::string& probe, std::string_view topicText,
                   const std::string& target);
void YYOpenWithAssociated(int32_t& error, const std::string& file);
void YYHelpClose();
// Everything back to no help shown and no library loaded (tests).
void ResetHelpDisplay();
