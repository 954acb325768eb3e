// The message box as a real dialog: an icon, the text wrapped to a
// sensible width, and the buttons of its set in a centred row, laid out
// round the text from the template's controls.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/CommonInternal.h"
#include "platform/res/Resources.h"

namespace plat::detail {

namespace {

constexpr int kIconId = 20;
constexpr int kTextId = 21;
constexpr int kIconSide = 32;

struct BoxContext {
  std::string text;
  std::string caption;
  uint32_t type = 0;
  std::vector<int> buttons;
  Hicon icon;
  QueuedAnswerWatch* watch = nullptr;
};

const char* iconName(uint32_t type) {
  switch (type & mb::IconMask) {
    case mb::IconStop: return "MBSTOP";
    case mb::IconQuestion: return "MBQUESTION";
    case mb::IconExclamation: return "MBEXCLAMATION";
    case mb::IconInformation: return "MBINFORMATION";
    default: return nullptr;
  }
}

// The text in lines no wider than `width`: broken at its line breaks ("\n",
// "\r" or both), then at the last blank that fits; a word wider than a line
// breaks after its last "/" that fits (a path), else between characters.
std::vector<std::string> wrapText(HFont font, const std::string& text, int width) {
  std::vector<std::string> paragraphs(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      paragraphs.emplace_back();
    } else {
      paragraphs.back() += text[i];
    }
  }
  std::vector<std::string> lines;
  for (const std::string& p : paragraphs) {
    if (p.empty()) lines.emplace_back();
    size_t start = 0;
    while (start < p.size()) {
      size_t n = 0;
      while (start + n < p.size() && textWidth(font, p.substr(start, n + 1)) <= width) ++n;
      if (start + n == p.size()) {
        lines.push_back(p.substr(start));
        break;
      }
      size_t cut = std::string::npos;
      for (size_t k = start + n; k > start; --k)
        if (p[k] == ' ') {
          cut = k;
          break;
        }
      if (cut != std::string::npos) {
        lines.push_back(p.substr(start, cut - start));
        start = cut + 1;
        continue;
      }
      const size_t slash = n > 1 ? p.rfind('/', start + n - 2) : std::string::npos;
      if (slash != std::string::npos && slash >= start) n = slash + 1 - start;
      n = std::max<size_t>(n, 1);
      lines.push_back(p.substr(start, n));
      start += n;
    }
  }
  return lines;
}

int defaultPlace(uint32_t type, size_t count) {
  int place = 0;
  if ((type & mb::DefMask) == mb::DefButton2) place = 1;
  if ((type & mb::DefMask) == mb::DefButton3) place = 2;
  return std::min(place, static_cast<int>(count) - 1);
}

void layOut(Hwnd dialog, BoxContext& c) {
  const HFont font = dialogFont(dialog);
  auto du = [&](int x, int y) {
    Rect r{0, 0, x, y};
    mapDialogRect(dialog, r);
    return Size{r.right, r.bottom};
  };
  const Size margin = du(8, 8);
  const Size button = du(50, 14);
  const int gap = du(6, 0).cx;
  const int textGap = du(10, 0).cx;
  const int lineH = fontHeight(font);
  // Wide enough for a sentence, narrow enough to be read at a glance.
  const int widest = workArea().width() * 3 / 8;

  std::vector<std::string> lines = wrapText(font, c.text, widest);
  int textW = 0;
  for (const std::string& l : lines) textW = std::max(textW, textWidth(font, l));
  const int textH = lineH * static_cast<int>(lines.size());
  std::string wrapped;
  for (size_t i = 0; i < lines.size(); ++i) wrapped += (i ? "\n" : "") + lines[i];

  const bool hasIcon = static_cast<bool>(c.icon);
  const int textLeft = margin.cx + (hasIcon ? kIconSide + textGap : 0);
  int textTop = margin.cy;
  if (hasIcon && textH < kIconSide) textTop += (kIconSide - textH) / 2;
  const int contentBottom = std::max(textTop + textH, hasIcon ? margin.cy + kIconSide : 0);
  const int row = static_cast<int>(c.buttons.size()) * button.cx + (static_cast<int>(c.buttons.size()) - 1) * gap;
  const int clientW = std::max(textLeft + textW + margin.cx, row + 2 * margin.cx);
  const int buttonTop = contentBottom + du(0, 10).cy;
  const int clientH = buttonTop + button.cy + du(0, 7).cy;

  if (hasIcon) {
    Hwnd icon = getDlgItem(dialog, kIconId);
    sendMessage(icon, stm::SetIcon, toParam(c.icon));
    moveWindow(icon, margin.cx, margin.cy, kIconSide, kIconSide);
    showWindow(icon, ShowCmd::ShowNormal);
  }
  Hwnd text = getDlgItem(dialog, kTextId);
  setWindowText(text, wrapped);
  moveWindow(text, textLeft, textTop, textW + 1, std::max(textH, lineH));

  int x = (clientW - row) / 2;
  for (int id : c.buttons) {
    Hwnd b = getDlgItem(dialog, id);
    moveWindow(b, x, buttonTop, button.cx, button.cy);
    showWindow(b, ShowCmd::ShowNormal);
    // Tab order is Z order: the set's buttons follow each other in their order.
    setWindowPos(b, kHwndBottom, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize | kSwpNoActivate);
    x += button.cx + gap;
  }

  Rect outer{0, 0, clientW, clientH};
  adjustWindowRectEx(outer, getWindowStyle(dialog), false, getWindowExStyle(dialog));
  setWindowPos(dialog, {}, 0, 0, outer.width(), outer.height(), kSwpNoMove | kSwpNoZOrder | kSwpNoActivate);
  centreOverOwner(dialog);
}

intptr_t boxProc(Hwnd dialog, uint32_t message, WParam wp, LParam lp) {
  switch (message) {
    case wm::InitDialog: {
      BoxContext& c = *reinterpret_cast<BoxContext*>(lp);
      setUserData(dialog, lp);
      c.watch->attach(dialog);
      setWindowText(dialog, c.caption);
      layOut(dialog, c);
      const int def = c.buttons[static_cast<size_t>(defaultPlace(c.type, c.buttons.size()))];
      sendMessage(dialog, dm::SetDefId, static_cast<WParam>(def));
      setFocus(getDlgItem(dialog, def));
      return 0;
    }
    case wm::Command: {
      BoxContext* c = reinterpret_cast<BoxContext*>(getUserData(dialog));
      if (!c || hiWord(wp) != bn::Clicked) return 0;
      const int id = loWord(wp);
      if (std::find(c->buttons.begin(), c->buttons.end(), id) != c->buttons.end()) {
        endDialog(dialog, id);
      } else if (id == kIdCancel && c->buttons.size() == 1) {
        // Escape and the close box also dismiss a lone OK.
        endDialog(dialog, kIdOk);
      } else if (id == kIdCancel && std::find(c->buttons.begin(), c->buttons.end(), kIdNo) != c->buttons.end()) {
        // A Yes/No box has no Cancel: Escape and the close box answer No,
        // the answer that changes nothing.
        endDialog(dialog, kIdNo);
      }
      return 1;
    }
    case kTakeQueuedAnswer: {
      BoxContext* c = reinterpret_cast<BoxContext*>(getUserData(dialog));
      if (!c || answers().boxes.empty()) return 1;
      BoxAnswer a = popAnswer(answers().boxes);
      if (a.fail) {
        endDialog(dialog, 0);
        return 1;
      }
      if (std::find(c->buttons.begin(), c->buttons.end(), a.button) == c->buttons.end())
        fatal("message box answer " + std::to_string(a.button) + " is not one of its buttons (\"" + c->text + "\")");
      if (a.whileOpen) a.whileOpen();
      endDialog(dialog, a.button);
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace

int runMessageBox(Hwnd owner, const std::string& text, const std::string& caption, uint32_t type) {
  BoxContext c;
  c.text = text;
  c.caption = caption;
  c.type = type;
  c.buttons = messageBoxButtons(type);
  if (const char* name = iconName(type)) c.icon = loadIcon(name);
  QueuedAnswerWatch watch([] { return !answers().boxes.empty(); });
  c.watch = &watch;
  const intptr_t r = dialogBoxParam(kMessageBoxTemplate, owner, boxProc, reinterpret_cast<LParam>(&c));
  if (c.icon) destroyIcon(c.icon);
  return r > 0 ? static_cast<int>(r) : 0;
}

}  // namespace plat::detail
