// The suite's definition pages: the type page (members, arrangement,
// component, varied parameter, display), the variation page (the member
// values in a grid) and the abscissa page (the time range). Each fills
// SuiteSettings from its fields and returns the button that closed it:
// 1355 "Next >" ("Finish" on the abscissa page), 1357 "< Back", or Cancel,
// reported through cancelled. Values that cannot be computed are refused on
// their page with a message naming them, and the page stays open.
#pragma once

#include <cstdint>

void MODELSUITETYPE(int32_t& exit, bool& cancelled);
// start, increment, end, count and geometric: the "Generate" button's
// values; kindConstant: a kind whose values must be positive as well.
void MODELSUITEVARY(float start, float increment, float end, int32_t kindConstant, bool geometric, int32_t count,
                    int32_t& exit, bool& cancelled);
void MODELSUITEABS(int32_t& exit, bool& cancelled);
// Field states of the abscissa pages that generate their times (dialogs
// 139 and 211): mode 1 disables their fields, any other mode enables them,
// the end field only with endFlag.
void ABSCISSASTATES(int32_t mode, bool endFlag);
