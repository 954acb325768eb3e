// Lines: the current position, segments and polylines clipped to the clip
// window, line thickness, fill style and plot mode.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

void IGrMoveToPoint(float x, float y);
void IGrMoveToPointRel(float dx, float dy);
void IGrLineToPoint(float x, float y);
void IGrLineToPointRel(float dx, float dy);

void YYSegmentUser(float x1, float y1, float x2, float y2);
void YYSegmentPage(float x1, float y1, float x2, float y2);
void YYPolyline(std::span<const float> x, std::span<const float> y, int32_t n, int32_t pageflag);
void YYClipSegment(float& x1, float& y1, float& x2, float& y2, int32_t& visible);
int32_t YYClipPointInside(float x, float y);
bool YYClipCrossingValid(float cx, float cy, float x1, float y1, float x2, float y2);

void IGrLineThickness(std::optional<int32_t> screen = std::nullopt,
                      std::optional<int32_t> hardcopy = std::nullopt,
                      std::optional<int32_t> metafile = std::nullopt);
void IGrFillStyle(int32_t style, std::optional<int32_t> density = std::nullopt,
                  std::optional<int32_t> angle = std::nullopt);
void IGrRasterMode(std::optional<std::string_view> letter = std::nullopt);
void YYPlotModeSet(std::optional<int32_t> mode = std::nullopt);
