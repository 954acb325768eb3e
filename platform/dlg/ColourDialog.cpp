// The colour dialog as a real dialog: 48 basic colours and the caller's 16
// custom colours as grids of swatches, and the colour being chosen shown
// with its red, green and blue and its hue, saturation and luminosity,
// each of which may be typed. "Add to Custom Colors" keeps it in the
// custom grid.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/CommonInternal.h"

namespace plat::detail {

namespace {

enum ColourControl : int {
  kBasicWell = 1001,
  kCustomWell = 1002,
  kPreview = 1003,
  kHueEdit = 1010,
  kSatEdit = 1011,
  kLumEdit = 1012,
  kRedEdit = 1013,
  kGreenEdit = 1014,
  kBlueEdit = 1015,
  kAddCustom = 1020,
};

// Hue, luminosity and saturation on the scale of the dialog's fields: hue
// 0..239 round the colour circle from red, the other two 0..240.
double hueChannel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

int channel(double v) { return std::clamp(static_cast<int>(std::lround(v * 255)), 0, 255); }

}  // namespace

uint32_t rgbFromHls(int hue, int lum, int sat) {
  const double h = hue / 240.0, l = lum / 240.0, s = sat / 240.0;
  if (sat == 0) return makeRgb(channel(l), channel(l), channel(l));
  const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
  const double p = 2 * l - q;
  return makeRgb(channel(hueChannel(p, q, h + 1.0 / 3)), channel(hueChannel(p, q, h)),
                 channel(hueChannel(p, q, h - 1.0 / 3)));
}

void hlsFromRgb(uint32_t rgb, int& hue, int& lum, int& sat) {
  const double r = redOf(rgb) / 255.0, g = greenOf(rgb) / 255.0, b = blueOf(rgb) / 255.0;
  const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
  const double l = (hi + lo) / 2, d = hi - lo;
  lum = static_cast<int>(std::lround(l * 240));
  if (d <= 0) {
    hue = 0;
    sat = 0;
    return;
  }
  const double s = l <= 0.5 ? d / (hi + lo) : d / (2 - hi - lo);
  double h = hi == r ? (g - b) / d + (g < b ? 6 : 0) : hi == g ? (b - r) / d + 2 : (r - g) / d + 4;
  h /= 6;
  hue = static_cast<int>(std::lround(h * 240)) % 240;
  sat = static_cast<int>(std::lround(s * 240));
}

namespace {

// The basic colours: eight hues from light to dark in five rows, and a row
// of greys from black to white.
std::array<uint32_t, 48> basicColours() {
  std::array<uint32_t, 48> out{};
  const int hues[8] = {0, 20, 40, 80, 120, 140, 160, 200};   // of 240
  const int lums[5] = {200, 160, 120, 80, 40};
  for (int row = 0; row < 5; ++row)
    for (int col = 0; col < 8; ++col) out[static_cast<size_t>(row * 8 + col)] = rgbFromHls(hues[col], lums[row], 240);
  const int greys[8] = {0, 64, 96, 128, 160, 192, 224, 255};
  for (int col = 0; col < 8; ++col) out[static_cast<size_t>(40 + col)] = makeRgb(greys[col], greys[col], greys[col]);
  return out;
}

struct ColourContext {
  ChooseColor* cc = nullptr;
  uint32_t colour = 0;
  bool updating = false;   // the fields are being set from the colour
  size_t nextCustom = 0;   // where "Add to Custom Colors" puts a colour when no custom one is selected
  QueuedAnswerWatch* watch = nullptr;
};

ColourContext* contextOf(Hwnd dialog) { return reinterpret_cast<ColourContext*>(getUserData(dialog)); }

// Which fields the user is typing in: those keep their text.
enum class Typing { kNone, kHls, kRgb };

// Shows the colour in the preview and in the fields.
void showColour(Hwnd dialog, ColourContext& c, Typing typing) {
  c.updating = true;
  sendDlgItemMessage(dialog, kPreview, kWellSetColours, 1, reinterpret_cast<LParam>(&c.colour));
  int h = 0, l = 0, s = 0;
  hlsFromRgb(c.colour, h, l, s);
  const int values[6][2] = {{kHueEdit, h},
                            {kSatEdit, s},
                            {kLumEdit, l},
                            {kRedEdit, redOf(c.colour)},
                            {kGreenEdit, greenOf(c.colour)},
                            {kBlueEdit, blueOf(c.colour)}};
  for (const auto& [id, v] : values) {
    const bool hls = id < kRedEdit;
    if (!(typing == Typing::kHls && hls) && !(typing == Typing::kRgb && !hls)) setDlgItemInt(dialog, id, v);
  }
  c.updating = false;
}

// A typed field: red, green and blue make the colour; hue, saturation and
// luminosity make it together. Something that is no number in range
// leaves the colour as it is until it is.
void fieldTyped(Hwnd dialog, ColourContext& c, int id) {
  auto value = [&](int field, int hi, int& out) {
    bool ok = false;
    out = getDlgItemInt(dialog, field, &ok);
    return ok && out >= 0 && out <= hi;
  };
  int a = 0, b = 0, d = 0;
  if (id >= kRedEdit) {
    if (!value(kRedEdit, 255, a) || !value(kGreenEdit, 255, b) || !value(kBlueEdit, 255, d)) return;
    c.colour = makeRgb(a, b, d);
  } else {
    if (!value(kHueEdit, 239, a) || !value(kSatEdit, 240, b) || !value(kLumEdit, 240, d)) return;
    c.colour = rgbFromHls(a, d, b);
  }
  sendDlgItemMessage(dialog, kBasicWell, kWellSelect, static_cast<WParam>(-1));
  showColour(dialog, c, id >= kRedEdit ? Typing::kRgb : Typing::kHls);
}

void takeWellColour(Hwnd dialog, ColourContext& c, int well) {
  const LResult i = sendDlgItemMessage(dialog, well, kWellGetSelection);
  if (i < 0) return;
  c.colour = static_cast<uint32_t>(sendDlgItemMessage(dialog, well, kWellGetColour, static_cast<WParam>(i)));
  sendDlgItemMessage(dialog, well == kBasicWell ? kCustomWell : kBasicWell, kWellSelect, static_cast<WParam>(-1));
  showColour(dialog, c, Typing::kNone);
}

intptr_t colourProc(Hwnd dialog, uint32_t message, WParam wp, LParam lp) {
  switch (message) {
    case wm::InitDialog: {
      ColourContext& c = *reinterpret_cast<ColourContext*>(lp);
      setUserData(dialog, lp);
      c.watch->attach(dialog);
      const std::array<uint32_t, 48> basic = basicColours();
      sendDlgItemMessage(dialog, kBasicWell, kWellSetColours, basic.size(), reinterpret_cast<LParam>(basic.data()));
      sendDlgItemMessage(dialog, kCustomWell, kWellSetColours, c.cc->custom.size(),
                         reinterpret_cast<LParam>(c.cc->custom.data()));
      c.colour = c.cc->rgb & 0xFFFFFF;
      for (size_t i = 0; i < basic.size(); ++i)
        if (basic[i] == c.colour) sendDlgItemMessage(dialog, kBasicWell, kWellSelect, i);
      for (int id = kHueEdit; id <= kBlueEdit; ++id) sendDlgItemMessage(dialog, id, em::LimitText, 3);
      showColour(dialog, c, Typing::kNone);
      centreOverOwner(dialog);
      return 1;
    }
    case wm::Command: {
      ColourContext* c = contextOf(dialog);
      if (!c) return 0;
      const int id = loWord(wp), code = hiWord(wp);
      if (id == kIdOk && code == bn::Clicked) {
        c->cc->rgb = c->colour;
        endDialog(dialog, 1);
      } else if (id == kIdCancel && code == bn::Clicked) {
        endDialog(dialog, 2);
      } else if ((id == kBasicWell || id == kCustomWell) && code == kWellSelChange) {
        takeWellColour(dialog, *c, id);
      } else if ((id == kBasicWell || id == kCustomWell) && code == kWellDblClk) {
        takeWellColour(dialog, *c, id);
        c->cc->rgb = c->colour;
        endDialog(dialog, 1);
      } else if (id >= kHueEdit && id <= kBlueEdit && code == en::Change && !c->updating) {
        fieldTyped(dialog, *c, id);
      } else if (id == kAddCustom && code == bn::Clicked) {
        // Into the selected custom swatch, else the next one in turn.
        LResult at = sendDlgItemMessage(dialog, kCustomWell, kWellGetSelection);
        if (at < 0) at = c->nextCustom;
        c->nextCustom = (static_cast<size_t>(at) + 1) % c->cc->custom.size();
        c->cc->custom[static_cast<size_t>(at)] = c->colour;
        sendDlgItemMessage(dialog, kCustomWell, kWellSetColours, c->cc->custom.size(),
                           reinterpret_cast<LParam>(c->cc->custom.data()));
        sendDlgItemMessage(dialog, kCustomWell, kWellSelect, static_cast<WParam>(at));
      } else {
        return 0;
      }
      return 1;
    }
    case kTakeQueuedAnswer: {
      ColourContext* c = contextOf(dialog);
      if (!c || answers().colours.empty()) return 1;
      const ColourAnswer a = popAnswer(answers().colours);
      if (a.ok) c->cc->rgb = a.rgb;
      endDialog(dialog, a.ok ? 1 : 2);
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace

bool runColourDialog(ChooseColor& cc) {
  ColourContext c;
  c.cc = &cc;
  QueuedAnswerWatch watch([] { return !answers().colours.empty(); });
  c.watch = &watch;
  const intptr_t r = dialogBoxParam(kColourTemplate, cc.owner, colourProc, reinterpret_cast<LParam>(&c));
  if (r < 0) setLastDialogError(kCdeDialogFailure);
  return r == 1;
}

}  // namespace plat::detail
