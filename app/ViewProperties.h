// The "View Properties" dialog: the axis captions with their sizes and
// offsets (in inches or centimetres), the decades or divisions of each axis
// of both graphs, the size of the data-set name and the line width (1..20;
// heights above 0 and at most the page). Apply and OK redraw the whole page
// at once (REFRESHSUITE), so Apply shows what OK leaves.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "VOZUVar/GraphFrame.h"
#include "engine/SoundingHandler.h"

void VIEWDLG1D(SoundingRecord& primary, SoundingRecord& partner, std::array<GraphFrame, 2>& curveFrame,
               std::array<GraphFrame, 2>& modelFrame, bool& cancelled);

// The dialog's state for the run: sizes are entered in inches (else in
// centimetres) and the page that was selected when it last closed with OK.
struct ViewDialogStateRecord {
  bool ViewUnitsInch = false;
  int32_t ViewLastTab = 0;
};
ViewDialogStateRecord& ViewDialogState();

// The fields of one axis page.
struct AxisPage {
  int32_t Page;
  int32_t CaptionField;
  int32_t SizeInch, SizeCm;
  int32_t OffsetInch, OffsetCm;
  int32_t CountField, SecondField;  // decades and first exponent, or major and minor divisions
  int32_t StartField = 0, StepField = 0;  // linear axes: first value and step
};

// Fill (PUT) or read back (GET) one axis page: caption, size and offset
// settings, and the frame's values of that axis. A count below 1 (or a
// field left without a number) keeps the frame's count and shows it again.
void PUTLINAXISY(const AxisPage& page, std::string& caption, float& size, float& offset, GraphFrame& frame);
void GETLINAXISY(const AxisPage& page, std::string& caption, float& size, float& offset, GraphFrame& frame);
void GETLOGAXISY(const AxisPage& page, std::string& caption, float& size, float& offset, GraphFrame& frame);
void GETLOGAXISX(const AxisPage& page, std::string& caption, float& size, float& offset, GraphFrame& frame);
void PUTLINAXISX(const AxisPage& page, std::string& caption, float& size, float& offset, GraphFrame& frame);
void GETLINAXISX(const AxisPage& page, std::string& caption, float& size, float& offset, GraphFrame& frame);
void PUTLOGAXISX(const AxisPage& page, std::string& caption, float& size, float& offset, GraphFrame& frame);
void PUTLOGAXISY(const AxisPage& page, std::string& caption, float& size, float& offset, GraphFrame& frame);
// Enables the inch fields of a page and disables its centimetre fields
// (inches), or the reverse.
void INCHORCMAX(int32_t page, int32_t sizeInch, int32_t offsetInch, int32_t sizeCm, int32_t offsetCm, bool inches);
// The same for the main dialog's name-size fields, selecting the radio
// button of the unit.
void INCHORCM(int32_t page, int32_t sizeInch, int32_t inchRadio, int32_t sizeCm, int32_t cmRadio, bool inches);
