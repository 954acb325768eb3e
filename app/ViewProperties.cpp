#include "app/ViewProperties.h"

#include <algorithm>
#include <cmath>

#include "VOZUVar/Gngrid.h"
#include "app/DisplaySettings.h"
#include "app/DrawLabel.h"
#include "app/Refresh1d.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/Events.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"

namespace {

constexpr float kCm = 2.54f;
constexpr int32_t kDialog = 125, kTabs = 1089, kApply = 1090, kOk = 1, kCancel = 2;
constexpr int32_t kNameInch = 1114, kNameCm = 1115, kInchRadio = 1116, kCmRadio = 1118, kLineWidth = 1256;
constexpr int32_t kFieldValueUndefined = 1010;
constexpr std::string_view kLinearFormat = "(F11.1)";

ViewDialogStateRecord gState;

const AxisPage kRhoA{121, 1078, 1091, 1092, 1093, 1099, 1081, 1082};
const AxisPage kTime{122, 1086, 1100, 1101, 1102, 1103, 1112, 1113};
const AxisPage kLogDepth{123, 1087, 1104, 1105, 1106, 1107, 1110, 1111};
const AxisPage kLinearDepth{236, 1087, 1104, 1105, 1106, 1107, 1110, 1111, 1260, 1261};
const AxisPage kRho{124, 1088, 1083, 1084, 1079, 1080, 1108, 1109};

// A real read back, or false when the field holds no number.
bool GetReal(int32_t field, float& value) {
  float v = value;
  YYLastErrorStore(0);
  WDialogGetReal(field, v);
  if (LastErrorCode() == kFieldValueUndefined || !std::isfinite(v)) return false;
  value = v;
  return true;
}

// A division count read back: one below 1 would give the axis no length
// per division, so the frame keeps its count and the field shows it again.
void GetCount(int32_t field, int32_t& count) {
  int32_t v = count;
  YYLastErrorStore(0);
  WDialogGetInteger(field, v);
  if (LastErrorCode() == kFieldValueUndefined || v < 1) {
    WDialogPutInteger(field, count);
    return;
  }
  count = v;
}

void GetInteger(int32_t field, int32_t& value) {
  int32_t v = value;
  YYLastErrorStore(0);
  WDialogGetInteger(field, v);
  if (LastErrorCode() == kFieldValueUndefined) {
    WDialogPutInteger(field, value);
    return;
  }
  value = v;
}

void PutSizes(const AxisPage& p, float size, float offset) {
  WDialogPutReal(p.SizeInch, size);
  WDialogPutReal(p.SizeCm, size * kCm);
  WDialogPutReal(p.OffsetInch, offset);
  WDialogPutReal(p.OffsetCm, offset * kCm);
}

// A caption height read back in inches or centimetres; one the page cannot
// show (0 or less, taller than the page) leaves the height as it was.
void GetHeight(int32_t inchField, int32_t cmField, bool inches, float& size) {
  float v = inches ? size : size * kCm;
  if (!GetReal(inches ? inchField : cmField, v)) return;
  if (!inches) v /= kCm;
  if (CaptionHeightFits(v)) size = v;
}

void GetCaptionAndSizes(const AxisPage& p, std::string& caption, float& size, float& offset) {
  std::string c(kCaptionLength, ' ');
  WDialogGetString(p.CaptionField, c);
  caption = Caption40(c);
  GetHeight(p.SizeInch, p.SizeCm, gState.ViewUnitsInch, size);
  if (gState.ViewUnitsInch) {
    GetReal(p.OffsetInch, offset);
  } else {
    float cm = offset * kCm;
    if (GetReal(p.OffsetCm, cm)) offset = cm / kCm;
  }
  PutSizes(p, size, offset);
}

// The line width read back: one outside 1..20 keeps the width it had, and
// the field shows it again.
void GetLineWidth(int32_t& width) {
  int32_t w = width;
  GetInteger(kLineWidth, w);
  if (LineWidthFits(w)) width = w;
  WDialogPutInteger(kLineWidth, width);
}

void PutCaptionAndSizes(const AxisPage& p, const std::string& caption, float size, float offset) {
  WDialogSelect(p.Page);
  WDialogPutString(p.CaptionField, caption);
  PutSizes(p, size, offset);
}

// What a size or offset field of a page stands for.
struct SizeField {
  int32_t inch, cm;
  float* setting;
  bool height = false;  // a caption height, bounded by the page
};

}  // namespace

ViewDialogStateRecord& ViewDialogState() { return gState; }

void PUTLINAXISY(const AxisPage& p, std::string& caption, float& size, float& offset, GraphFrame& f) {
  PutCaptionAndSizes(p, caption, size, offset);
  WDialogPutReal(p.StartField, f.YStart, kLinearFormat);
  WDialogPutReal(p.StepField, f.YStep, kLinearFormat);
  WDialogPutInteger(p.CountField, f.YDivisions);
  WDialogPutInteger(p.SecondField, f.YExponentOrMinor);
}

void GETLINAXISY(const AxisPage& p, std::string& caption, float& size, float& offset, GraphFrame& f) {
  WDialogSelect(p.Page);
  GetReal(p.StartField, f.YStart);
  GetReal(p.StepField, f.YStep);
  GetCaptionAndSizes(p, caption, size, offset);
  GetCount(p.CountField, f.YDivisions);
  GetInteger(p.SecondField, f.YExponentOrMinor);
}

void GETLOGAXISY(const AxisPage& p, std::string& caption, float& size, float& offset, GraphFrame& f) {
  WDialogSelect(p.Page);
  GetCaptionAndSizes(p, caption, size, offset);
  GetCount(p.CountField, f.YDivisions);
  GetInteger(p.SecondField, f.YExponentOrMinor);
}

void GETLOGAXISX(const AxisPage& p, std::string& caption, float& size, float& offset, GraphFrame& f) {
  WDialogSelect(p.Page);
  GetCaptionAndSizes(p, caption, size, offset);
  GetCount(p.CountField, f.XDivisions);
  GetInteger(p.SecondField, f.XExponentOrMinor);
}

void PUTLINAXISX(const AxisPage& p, std::string& caption, float& size, float& offset, GraphFrame& f) {
  PutCaptionAndSizes(p, caption, size, offset);
  WDialogPutReal(p.StartField, f.XStart, kLinearFormat);
  WDialogPutReal(p.StepField, f.XStep, kLinearFormat);
  WDialogPutInteger(p.CountField, f.XDivisions);
  WDialogPutInteger(p.SecondField, f.XExponentOrMinor);
}

void GETLINAXISX(const AxisPage& p, std::string& caption, float& size, float& offset, GraphFrame& f) {
  WDialogSelect(p.Page);
  GetReal(p.StartField, f.XStart);
  GetReal(p.StepField, f.XStep);
  GetCaptionAndSizes(p, caption, size, offset);
  GetCount(p.CountField, f.XDivisions);
  GetInteger(p.SecondField, f.XExponentOrMinor);
}

void PUTLOGAXISX(const AxisPage& p, std::string& caption, float& size, float& offset, GraphFrame& f) {
  PutCaptionAndSizes(p, caption, size, offset);
  WDialogPutInteger(p.CountField, f.XDivisions);
  WDialogPutInteger(p.SecondField, f.XExponentOrMinor);
}

void PUTLOGAXISY(const AxisPage& p, std::string& caption, float& size, float& offset, GraphFrame& f) {
  PutCaptionAndSizes(p, caption, size, offset);
  WDialogPutInteger(p.CountField, f.YDivisions);
  WDialogPutInteger(p.SecondField, f.YExponentOrMinor);
}

void INCHORCMAX(int32_t page, int32_t sizeInch, int32_t offsetInch, int32_t sizeCm, int32_t offsetCm, bool inches) {
  WDialogSelect(page);
  WDialogFieldState(sizeInch, inches ? 1 : 0);
  WDialogFieldState(offsetInch, inches ? 1 : 0);
  WDialogFieldState(sizeCm, inches ? 0 : 1);
  WDialogFieldState(offsetCm, inches ? 0 : 1);
}

void INCHORCM(int32_t page, int32_t sizeInch, int32_t inchRadio, int32_t sizeCm, int32_t cmRadio, bool inches) {
  WDialogSelect(page);
  WDialogFieldState(sizeInch, inches ? 1 : 0);
  WDialogFieldState(sizeCm, inches ? 0 : 1);
  WDialogPutRadioButton(inches ? inchRadio : cmRadio);
}

void VIEWDLG1D(SoundingRecord& primary, SoundingRecord& partner, std::array<GraphFrame, 2>& curveFrame,
               std::array<GraphFrame, 2>& modelFrame, bool& cancelled) {
  DisplaySettingsRecord& d = DisplaySettings();
  AxisCaptionTableRecord& c = AxisCaptionTable();
  GraphFrame& cf = curveFrame[0];
  GraphFrame& mf = modelFrame[0];
  auto length = [](int32_t n, float per) { return static_cast<float>(n) * per; };
  const float curveX = length(cf.XDivisions, cf.XDivLength), curveY = length(cf.YDivisions, cf.YDivLength);
  const float curve2Y = length(curveFrame[1].YDivisions, curveFrame[1].YDivLength);
  const float modelX = length(mf.XDivisions, mf.XDivLength), modelY = length(mf.YDivisions, mf.YDivLength);
  const float model2X = length(modelFrame[1].XDivisions, modelFrame[1].XDivLength);

  WDialogLoad(kDialog);
  WDialogPutReal(kNameInch, d.HICNAME);
  WDialogPutReal(kNameCm, d.HICNAME * kCm);
  WDialogPutInteger(kLineWidth, d.LineWidth);
  const bool logDepth = mf.YLog;
  WDialogTabState(kTabs, 123, logDepth ? 1 : 0);
  WDialogTabState(kTabs, 236, logDepth ? 0 : 1);
  const AxisPage& depth = logDepth ? kLogDepth : kLinearDepth;
  PUTLOGAXISY(kRhoA, c.CLRES, d.HIDATV, d.OFFDATV, cf);
  PUTLOGAXISX(kTime, c.CTIMES, d.HIDATH, d.OFFDATH, cf);
  WDialogTitle("Time");
  if (logDepth) PUTLOGAXISY(depth, c.CLDEPT, d.HIMODV, d.OFFMODV, mf);
  else PUTLINAXISY(depth, c.CLDEPT, d.HIMODV, d.OFFMODV, mf);
  PUTLOGAXISX(kRho, c.CLRESM, d.HIMODH, d.OFFMODH, mf);

  WDialogSelect(kDialog);
  WDialogShow(-1, -1, 0, 3);
  if (gState.ViewLastTab > 0) WDialogSetTab(kTabs, gState.ViewLastTab);
  WEventOptionSet(10, 1);
  WEventOptionSet(3, 1);
  WDialogFieldState(kApply, 0);
  auto units = [&] {
    INCHORCM(kDialog, kNameInch, kInchRadio, kNameCm, kCmRadio, gState.ViewUnitsInch);
    for (const AxisPage* p : {&kRhoA, &kTime, &depth, &kRho})
      INCHORCMAX(p->Page, p->SizeInch, p->OffsetInch, p->SizeCm, p->OffsetCm, gState.ViewUnitsInch);
  };
  units();

  struct Page {
    const AxisPage* axis;
    std::string* caption;
    float* size;
    float* offset;
  };
  const Page pages[] = {{&kRhoA, &c.CLRES, &d.HIDATV, &d.OFFDATV},
                        {&kTime, &c.CTIMES, &d.HIDATH, &d.OFFDATH},
                        {&depth, &c.CLDEPT, &d.HIMODV, &d.OFFMODV},
                        {&kRho, &c.CLRESM, &d.HIMODH, &d.OFFMODH}};

  // A size or offset field left: the setting takes it in inches and the
  // field of the other unit shows it converted.
  auto fieldLeft = [&](int32_t dialog, int32_t field) {
    auto enableApply = [&] {
      WDialogSelect(kDialog);
      WDialogFieldState(kApply, 1);
    };
    auto sizeField = [&](int32_t page, const SizeField& s) {
      if (field != s.inch && field != s.cm) return false;
      WDialogSelect(page);
      if (s.height) {
        GetHeight(s.inch, s.cm, field == s.inch, *s.setting);
        WDialogPutReal(s.inch, *s.setting);
        WDialogPutReal(s.cm, *s.setting * kCm);
      } else if (field == s.inch) {
        if (GetReal(s.inch, *s.setting)) WDialogPutReal(s.cm, *s.setting * kCm);
      } else {
        float cm = *s.setting * kCm;
        if (GetReal(s.cm, cm)) {
          *s.setting = cm / kCm;
          WDialogPutReal(s.inch, *s.setting);
        }
      }
      enableApply();
      return true;
    };
    if (dialog == kDialog || dialog <= 0) {
      if (sizeField(kDialog, {kNameInch, kNameCm, &d.HICNAME, true})) return;
      if (field == kLineWidth) {
        WDialogSelect(kDialog);
        GetLineWidth(d.LineWidth);
        enableApply();
        return;
      }
      if (field == kInchRadio || field == kCmRadio) {
        gState.ViewUnitsInch = field == kInchRadio;
        units();
        return;
      }
    }
    for (const Page& p : pages) {
      if (dialog > 0 && dialog != kDialog && dialog != p.axis->Page) continue;
      const AxisPage& a = *p.axis;
      if (sizeField(a.Page, {a.SizeInch, a.SizeCm, p.size, true}) ||
          sizeField(a.Page, {a.OffsetInch, a.OffsetCm, p.offset}))
        return;
      if (field == a.CaptionField) {
        WDialogSelect(a.Page);
        std::string t(kCaptionLength, ' ');
        WDialogGetString(a.CaptionField, t);
        *p.caption = Caption40(t);
        enableApply();
        return;
      }
    }
  };

  auto apply = [&] {
    const GraphFrame before = cf;
    WDialogSelect(kDialog);
    int32_t n = 1;
    WDialogGetRadioButton(kInchRadio, n);
    gState.ViewUnitsInch = n == 1;
    GetHeight(kNameInch, kNameCm, gState.ViewUnitsInch, d.HICNAME);
    WDialogPutReal(kNameInch, d.HICNAME);
    WDialogPutReal(kNameCm, d.HICNAME * kCm);
    GetLineWidth(d.LineWidth);
    GETLOGAXISY(kRhoA, c.CLRES, d.HIDATV, d.OFFDATV, cf);
    GETLOGAXISX(kTime, c.CTIMES, d.HIDATH, d.OFFDATH, cf);
    if (logDepth) GETLOGAXISY(depth, c.CLDEPT, d.HIMODV, d.OFFMODV, mf);
    else GETLINAXISY(depth, c.CLDEPT, d.HIMODV, d.OFFMODV, mf);
    GETLOGAXISX(kRho, c.CLRESM, d.HIMODH, d.OFFMODH, mf);
    // The axes keep their lengths: new counts change the inches per
    // division.
    auto per = [](float len, int32_t count, float old) { return count >= 1 ? len / static_cast<float>(count) : old; };
    cf.XDivLength = per(curveX, cf.XDivisions, cf.XDivLength);
    cf.YDivLength = per(curveY, cf.YDivisions, cf.YDivLength);
    curveFrame[1].YDivLength = per(curve2Y, curveFrame[1].YDivisions, curveFrame[1].YDivLength);
    mf.XDivLength = per(modelX, mf.XDivisions, mf.XDivLength);
    mf.YDivLength = per(modelY, mf.YDivisions, mf.YDivLength);
    modelFrame[1].XDivLength = per(model2X, modelFrame[1].XDivisions, modelFrame[1].XDivLength);
    // New ranges or counts change the scales: the labels keep the size they
    // were drawn at, as they do through a zoom.
    FINDAS(cf);
    KeepLabelSizesOnPage(d.LabelPageOwner, before, cf);
    // The page as OK leaves it: the whole suite, its labels and grids.
    REFRESHSUITE(primary, partner);
    WDialogSelect(kDialog);
    WDialogSetField(kOk);
    WDialogFieldState(kApply, 0);
  };

  int32_t entered = 0;
  cancelled = true;
  for (;;) {
    int32_t type = 0;
    EventRecord r{};
    WEventNext(type, r);
    if (type == EventFieldChange) {
      const int32_t left = r[1] > 0 ? r[1] : entered;
      fieldLeft(r[0], left);
      entered = r[2];
    } else if (type == EventRepaint) {
      REFRESHSUITE(primary, partner);
    } else if (type == EventButton && r[0] == kDialog) {
      if (r[1] == kApply) {
        apply();
      } else if (r[1] == kOk) {
        WDialogSelect(kDialog);
        WDialogGetTab(kTabs, gState.ViewLastTab);
        apply();
        cancelled = false;
        break;
      } else if (r[1] == kCancel) {
        break;
      }
    }
  }
  WDialogSelect(kDialog);
  WDialogUnload();
}
