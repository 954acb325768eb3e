// The set-up of presentation graphs (charts drawn from data sets inside the
// graphics area): the chart's data range, a third axis, the polar-angle
// unit, the margins, the axis types and the graph definition. Nothing in
// the program draws such a chart; the state is kept so that the state
// initialisation and later charting code agree on it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

inline constexpr int32_t kPgMaxSets = 500;

struct PresentationStateRecord {
  float XFrom = 0.0f, XTo = 1.0f, YFrom = 0.0f, YTo = 1.0f;  // as given to IPgArea
  float XRange = 1.0f, YRange = 1.0f;                        // to - from (may be negative)
  float XMin = 0.0f, XMax = 1.0f, YMin = 0.0f, YMax = 1.0f;  // ordered limits
  float ZMin = 0.0f, ZMax = 1.0f, ZRange = 1.0f;
  float PolarUnit = 1.0f;
  float MarginLeft = 0.1f, MarginBottom = 0.1f, MarginRight = 0.9f, MarginTop = 0.9f;
  int32_t XLogRequested = 0, YLogRequested = 0;  // logical: -1 true, 0 false
  int32_t XLog = 0, YLog = 0;                    // in effect after type and options
  // Logarithms while an axis is logarithmic.
  float XLogMin = 0.0f, XLogMax = 0.0f, XLogRange = 0.0f;
  float YLogMin = 0.0f, YLogMax = 0.0f, YLogRange = 0.0f;
  float ReferenceValue = 1.0f;
  float ReferenceLog = 0.0f, ReferenceLogShifted = 38.0f;
  int32_t GraphType = 4;          // 1..11
  int32_t Sets = kPgMaxSets;      // 1..500
  int32_t ValuesPerSet = 1;
  int32_t SecondCount = 1;
  int32_t ThirdCount = 1;
  int32_t Options = 0;            // the option bits as given
  // The option bits split: bit 0 (in effect for types 1, 2, 5, 6, 7, 8, 10),
  // bits 1, 3, 5, 6, 7, 9, 10, 11; the bar mode from bits 2, 8, 4.
  int32_t Flag0 = 0, Flag1 = 0, Flag3 = 0, Flag5 = 0, Flag6 = 0, Flag7 = 0, Flag9 = 0,
          Flag10 = 0, Flag11 = 0;
  int32_t BarMode = 0;            // 0 none, 1, 2, 3
  float BarWidth = 0.25f;         // fraction of a category
  int32_t StyleScheme = 1;
  int32_t LabelStep = 1;
  // Per-set attributes filled by the style scheme (graph types 3, 4 and 6
  // keep them in the same arrays here).
  std::vector<int32_t> SetColour, SetMarker, SetFill;
};
PresentationStateRecord& PresentationState();
void ResetPresentationState();

void IPgArea(float xfrom, float yfrom, float xto, float yto);
void IPgUnitsZ(float zmin, float zmax);
void IPgUnitsPolar(float unit);
void YYPgMargins(float left, float bottom, float right, float top);
// Axis types: a text whose first three characters are "LOG" (any case)
// makes that axis logarithmic, any other text linear.
void YYPgAxisType(std::string_view xtype, std::string_view ytype);
// Recomputes the logarithmic state from the stored types.
void YYPgAxisTypeRefresh();
void YYPgGraphDefine(int32_t type, int32_t sets, std::span<const int32_t> counts, int32_t options = 0,
                     int32_t styles = 0);
// log10 of |x|; -38 for 0.
float YYLog10Safe(float x);
