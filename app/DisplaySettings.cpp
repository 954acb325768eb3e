#include "app/DisplaySettings.h"

namespace {

DisplaySettingsRecord gDisplay;
AxisCaptionTableRecord gCaptions;
LabelStoreRecord gLabels;
std::array<GraphFrame, 2> gCurveFrame{}, gModelFrame{}, gSavedCurveFrame{}, gSavedModelFrame{};

constexpr const char* kOtherCaptionTexts[kOtherCaptions] = {
    "Fade in Second Model",
    "Different Earth Models",
    "Angle Between Transmitter & OffsetVector",
    "Layer Thickness",
    "Layer Resistivity",
    "Offset",
    "ELAT Apparent Resistivity (Ohm-m)",
    "AT Apparent Rresistivity (Ohm-m)",
    "ELT Apparent Resistivity (Ohm-m)",
    "Early Time Apparent Resistivty (Ohm-m)",
    "Voltage",
    "HZ Field Component",
    "EY Field Component",
    "EX Field Component",
    "System Response",
    "Magnetic Field (nT)",
    "MaxMin Quadrature (%)",
    "MaxMin In-Phase (%)",
    "MaxMin In-Phase & Quadrature (%)",
    "VLF Ellipticity",
    "VLF Tilt Angle (deg)",
    "VLF Quadrature (%)",
    "VLF In-Phase (%)",
    "VLF In-Phase/Quadrature (%)",
    "Hjelt Depth (m)",
    "Apparent Conductivity (mS/m)",
    "Effective Penetration (m)",
    "Cumulative Resistance (Ohm-m^2)",
    "Cumulative Conductance (Siemens)",
};

}  // namespace

std::string Caption40(std::string_view text) {
  std::string c(text.substr(0, kCaptionLength));
  c.resize(kCaptionLength, ' ');
  return c;
}

AxisCaptionTableRecord::AxisCaptionTableRecord()
    : CLRES(Caption40("Apparent Resistivity (Ohm-m)")),
      CRVOLT(Caption40("Received Voltage (nV)")),
      CLEFLD(Caption40("Electric Field (nV/m)")),
      CTIMES(Caption40("Time (Sec)")),
      CLPCTD(Caption40("Percent Difference")),
      CLRESM(Caption40("Resistivity (Ohm-m)")),
      CLCOND(Caption40("Conductivity (mS/m)")),
      CLPFEM(Caption40("IP Effect")),
      CLDEPT(Caption40("Depth (m)")),
      CLSPACE(Caption40("Spacing (m)")),
      CLTIME(Caption40("Time (ms)")),
      CLPER(Caption40("Period (sec)")),
      CLFREQ(Caption40("Frequency (Hz)")),
      CLVOLT(Caption40("Received Voltage (nV/m^2)")),
      CLPHAS(Caption40("Phase (deg)")),
      CLINQD(Caption40("In-Phase & Quadrature (%)")),
      CLHITE(Caption40("Height (m)")),
      CLPFE(Caption40("IP Effect")),
      CLNSPC(Caption40("n-Spacing")),
      CLNORT(Caption40("Northing (m)")),
      CLEAST(Caption40("Easting (m)")),
      CLPDIS(Caption40("Profile Distance (m)")),
      CLELEV(Caption40("Elevation (m)")) {
  for (size_t i = 0; i < kOtherCaptions; ++i) Others[i] = Caption40(kOtherCaptionTexts[i]);
}

DisplaySettingsRecord& DisplaySettings() { return gDisplay; }
AxisCaptionTableRecord& AxisCaptionTable() { return gCaptions; }
LabelStoreRecord& LabelStore() { return gLabels; }
std::array<GraphFrame, 2>& CurveGraphFrame() { return gCurveFrame; }
std::array<GraphFrame, 2>& ModelGraphFrame() { return gModelFrame; }
std::array<GraphFrame, 2>& SavedCurveGraphFrame() { return gSavedCurveFrame; }
std::array<GraphFrame, 2>& SavedModelGraphFrame() { return gSavedModelFrame; }

void ResetDisplaySettings() {
  gDisplay = DisplaySettingsRecord{};
  gCaptions = AxisCaptionTableRecord{};
  gLabels = LabelStoreRecord{};
  gCurveFrame = gModelFrame = gSavedCurveFrame = gSavedModelFrame = std::array<GraphFrame, 2>{};
}
