// The forward computation of one layered model for the transient
// grounded-wire arrangement: the time grid, the response, and the displayed
// quantities (voltage, electric field, early-, late- and all-time apparent
// resistivity) stored into a sounding record.
#pragma once

#include <cstdint>
#include <string>

#include "engine/SoundingHandler.h"

// Most decades between the low and high decade of a time range: ten times a
// decade plus two must fit the frequency grid of the transform.
inline constexpr int32_t kMaxDecades = 15;

// Computes the record's synthetic curves for its model and the arrangement
// of SuiteSettings. Refused inputs are shown with WINMSG and change
// nothing: the record and the forward state stay as they were.
void CALCLOTEM(SoundingRecord& record);

// The checks of the record's model and the arrangement of SuiteSettings
// that must hold before a curve is computed; the first failure is described
// in why, naming the value.
bool ForwardInputsFit(const SoundingRecord& record, std::string& why);

// Fills NTimes, Times and Response of the forward state for the range
// first..last. Returns false, computing nothing, when the range does not fit
// or the half-space formula refuses its input.
bool CURVE(float first, float last);

// The number of times a range produces, with its low and high decade.
int32_t NTIMES(float first, float last, int32_t& nlo, int32_t& nhi);

// Whether first..last is a time range the forward computation can take;
// otherwise why not, naming the values.
bool TimeRangeFits(float first, float last, std::string& why);
// The vertical magnetic field's apparent resistivity divides by the sine of
// the transmitter-offset angle (and so does the half-space response of a
// one-layer model): such an angle cannot be computed. Component 3 is Hz.
bool AngleSineDividesByZero(float angleDegrees, int32_t component, int32_t display, int32_t layers);
