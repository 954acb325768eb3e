// The graphics goldens' small page, drawn through the whole engine onto
// whatever routes are on: the screen goldens and the hardcopy drivers'
// tests share it.
#pragma once

// The page: area and units, frame, clipped polyline, dashed line, an
// exclusive-or line drawn twice, a filled polygon, stroke and device text
// at 0 and 90 degrees, and an outlined triangle clipped at the area's corner.
void DrawTestPage();
