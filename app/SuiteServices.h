// The application's services that the model suite uses: the display
// settings and labels it fills, the graph frames it scales, the number and
// quantity prompts of its pages and exports, the range and axis routines of
// both graphs, and the page redraw; with the records they work on.
#pragma once

#include "VOZUVar/GraphFrame.h"
#include "VOZUVar/Gngrid.h"
#include "VOZUVar/NumericHelpers.h"
#include "app/Dialogs.h"
#include "app/DisplaySettings.h"
#include "app/DrawLabel.h"
#include "app/Refresh1d.h"
#include "app/plotModel.h"
#include "app/plotRho.h"
#include "engine/SoundingHandler.h"
#include "engine/SuiteResults.h"
#include "engine/SuiteSettings.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
