// The static control: text, etched lines and frames, filled rectangles, and
// pictures (bitmaps, icons, enhanced metafiles kept as handles).
#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/Dialog.h"
#include "platform/gdi/Emf.h"
#include "platform/paint/Look.h"
#include "platform/res/Resources.h"

namespace plat::detail {

namespace {

struct StaticState {
  HBitmap bitmap = 0;
  Hicon icon;
  Hicon templateIcon;  // loaded from the template's name: the control frees it
  LParam metafile = 0;
};

StateTable<StaticState>& statics() {
  static StateTable<StaticState> t;
  return t;
}
void resetStatics() { statics().map.clear(); }

uint32_t kindOf(Hwnd w) { return getWindowStyle(w) & ss::TypeMask; }

void paintStatic(Hwnd w, Hdc dc, const Rect& c) {
  StaticState& s = statics().make(w);
  const uint32_t k = kindOf(w);
  HBrush bg = controlColours(w, dc, wm::CtlColorStatic, SysColor::kWindowText, SysColor::kBtnFace);
  auto frame = [&](SysColor col) {
    HBrush b = createSolidBrush(sysColor(col));
    frameRect(dc, c, b);
    deleteObject(b);
  };
  switch (k) {
    case ss::BlackRect: look::fill(dc, c, SysColor::kWindowFrame); return;
    case ss::GrayRect: look::fill(dc, c, SysColor::kBtnShadow); return;
    case ss::WhiteRect: look::fill(dc, c, SysColor::kBtnHighlight); return;
    case ss::BlackFrame: frame(SysColor::kWindowFrame); return;
    case ss::GrayFrame: frame(SysColor::kBtnShadow); return;
    case ss::WhiteFrame: frame(SysColor::kBtnHighlight); return;
    case ss::EtchedHorz:
      lineSolid(dc, c.left, c.top, c.right, c.top, sysColor(SysColor::kBtnShadow));
      lineSolid(dc, c.left, c.top + 1, c.right, c.top + 1, sysColor(SysColor::kBtnHighlight));
      return;
    case ss::EtchedVert:
      lineSolid(dc, c.left, c.top, c.left, c.bottom, sysColor(SysColor::kBtnShadow));
      lineSolid(dc, c.left + 1, c.top, c.left + 1, c.bottom, sysColor(SysColor::kBtnHighlight));
      return;
    case ss::EtchedFrame: look::drawEdge(dc, c, look::Edge::kEtched); return;
    default: break;
  }
  fillRect(dc, c, bg);
  if (k == ss::Bitmap || k == ss::Icon) {
    const Surface* img = k == ss::Bitmap ? (s.bitmap ? bitmapSurface(s.bitmap) : nullptr)
                                         : (s.icon ? iconImage(s.icon) : nullptr);
    if (!img) return;
    int x = c.left, y = c.top;
    if (getWindowStyle(w) & ss::CenterImage) {
      x = c.left + (c.width() - img->width) / 2;
      y = c.top + (c.height() - img->height) / 2;
    }
    drawImage(dc, *img, x, y);
    return;
  }
  if (k == ss::EnhMetafile) {
    // A metafile fills the control.
    if (s.metafile) playEnhMetaFile(dc, static_cast<HEnhMetaFile>(s.metafile), c);
    return;
  }
  unsigned flags = (getWindowStyle(w) & ss::NoPrefix) ? kDtNoPrefix : 0u;
  if (k == ss::Center) flags |= kDtCenter | kDtWordBreak;
  else if (k == ss::Right) flags |= kDtRight | kDtWordBreak;
  else if (k == ss::Left) flags |= kDtWordBreak;
  else flags |= kDtSingleLine;
  if (isDisabled(w)) setTextColor(dc, sysColor(SysColor::kGrayText));
  drawTextIn(dc, c, getWindowText(w), flags);
}

LResult setImage(Hwnd w, WParam kind, LParam handle) {
  StaticState& s = statics().make(w);
  LResult old = 0;
  switch (kind) {
    case kImageBitmap:
      old = static_cast<LResult>(s.bitmap);
      s.bitmap = static_cast<HBitmap>(handle);
      break;
    case kImageIcon:
      old = toParam(s.icon);
      s.icon = handleFrom<Hicon>(handle);
      break;
    case kImageEnhMetafile:
      old = s.metafile;
      s.metafile = handle;
      break;
    default:
      return 0;
  }
  invalidateRect(w, nullptr, true);
  return old;
}

LResult staticProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  LResult out = 0;
  if (fontMessage(w, message, wp, lp, out)) return out;
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintStatic(w, dc, r); })) return 0;
  switch (message) {
    case wm::Create: {
      StaticState& s = statics().make(w);
      // A picture named in the template: the bitmap or icon resource of that name or number.
      const std::string name = getWindowText(w);
      if (kindOf(w) == ss::Icon && !name.empty()) s.icon = s.templateIcon = loadIcon(name);
      return 0;
    }
    case wm::NcDestroy:
      // An icon given by a caller stays the caller's; the one loaded for the
      // template goes with the control unless a caller took it back.
      if (StaticState* s = statics().get(w); s && s->templateIcon && s->icon == s->templateIcon) {
        destroyIcon(s->templateIcon);
      }
      statics().drop(w);
      forgetFont(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd:
      return 1;
    case wm::NcHitTest:
      // Statics let the mouse through unless they report clicks.
      return (getWindowStyle(w) & ss::Notify) ? kHtClient : kHtTransparent;
    case wm::GetDlgCode:
      return dlgc::Static;
    case wm::LButtonUp:
      if (getWindowStyle(w) & ss::Notify) notifyCommand(w, stn::Clicked);
      return 0;
    case wm::LButtonDblClk:
      if (getWindowStyle(w) & ss::Notify) notifyCommand(w, stn::DblClk);
      return 0;
    case stm::SetIcon: return setImage(w, kImageIcon, static_cast<LParam>(wp));
    case stm::GetIcon: return toParam(statics().make(w).icon);
    case stm::SetImage: return setImage(w, wp, lp);
    case stm::GetImage: {
      StaticState& s = statics().make(w);
      if (wp == kImageIcon) return toParam(s.icon);
      if (wp == kImageEnhMetafile) return s.metafile;
      return static_cast<LResult>(s.bitmap);
    }
    case wm::SetText:
      defWindowProc(w, message, wp, lp);
      invalidateRect(w, nullptr, true);
      return 1;
    case wm::Enable:
    case wm::StyleChanged:
      invalidateRect(w, nullptr, true);
      return 0;
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

}  // namespace

void registerStaticClass() {
  registerControlClass(kStaticClass, staticProc);
  onControlsReset(resetStatics);
}

}  // namespace plat::detail
