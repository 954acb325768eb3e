// Drawables, the graphics area and its user units, the coordinate
// transforms, the two routes to the drivers and the state enquiry.
#pragma once

#include <cstdint>
#include <optional>

#include "toolkit/graphics/DriverProtocol.h"

// The routes. The screen route goes to the memory-metafile recorder while a
// memory metafile is the drawable, else to the screen driver; the hardcopy
// route reaches the selected hardcopy driver only while a hardcopy is open.
void YYGrScreenOp(int32_t op);
void YYGrHardcopyOp(int32_t op);
// Sends op to both routes.
void YYGrBothOps(int32_t op);

// The driver behind the screen route when no memory metafile is recorded:
// the screen driver, unless a test puts a recording driver in its place.
GraphicsDriver& ScreenRouteDriver();

void IGrSelect(int32_t kind, std::optional<int32_t> number = std::nullopt);
void IGrArea(float x1, float y1, float x2, float y2);
void IGrUnits(float left, float bottom, float right, float top);
void IGrUnitsToPixels(float x, float y, int32_t& kx, int32_t& ky);
void IGrPixelsToUnits(int32_t kx, int32_t ky, float& x, float& y);
int32_t IGrStateInfo(int32_t item);

void YYViewportSet(float x1, float y1, float x2, float y2);
void YYUserToPage(float x, float y, float& px, float& py);
void YYPageToUnits(float px, float py, float& x, float& y);
void YYPixelToUnits(float px, float py, float& x, float& y, int32_t viewer);
void YYAreaRescale();
void YYPageAspect();
void YYDrawableLookup(int32_t number, int32_t& failed, int32_t& width, int32_t& height);
void YYDrawableResized(int32_t owner, int32_t number, int32_t width, int32_t height);
void YYWindowDrawableChanged(int32_t window, int32_t width, int32_t height);
