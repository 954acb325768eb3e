// The application's services that the model suite uses: the display
// settings and labels it fills, the graph frames it scales, the number and
// quantity prompts of its pages and exports, the range and axis routines of
// both graphs, and the page redraw.
#pragma once

#include "app/Dialogs.h"
#include "app/DisplaySettings.h"
#include "app/DrawLabel.h"
#include "app/Refresh1d.h"
#include "app/plotModel.h"
#include "app/plotRho.h"
