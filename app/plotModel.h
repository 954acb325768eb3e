// The model graph: the right-hand graph of the page, the suite's layered
// models as staircases (resistivity across, depth downwards), its scaling
// from the models' ranges and the layout of both graphs on the page.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "VOZUVar/GraphFrame.h"
#include "engine/SoundingHandler.h"

// Frame and captions, then the staircases (PLOTMODELSECTIONS). Nothing at
// all when neither record has a layer.
void PLTMDL(SoundingRecord& record, SoundingRecord& partner, GraphFrame& frame, bool drawModel, bool equivalence,
            bool drawPartner, bool partnerEquivalence);
// The record's staircase in KBEST (drawModel), the partner's in KSMOO
// (drawPartner, when its curves are valid).
void PLOTMODELSECTIONS(SoundingRecord& record, SoundingRecord& partner, GraphFrame& frame, bool drawModel,
                       bool equivalence, bool drawPartner, bool partnerEquivalence);
// The staircase vertices of a model (resistivities in rho, depths in z),
// depths clamped to top..bottom; count 2 NL. With LDInFeet the depths come
// out in feet while top and bottom are in metres.
void MDL2LIN(float top, float bottom, std::span<float> rho, std::span<float> z, int32_t& count, bool flag,
             std::span<const float> resistivities, std::span<const float> thicknesses, int32_t nl, bool depthFlag);

// Widens the kept ranges by the record's model.
void SCALE_MDL_MINMAX(const SoundingRecord& record, bool equivalence, std::array<float, 4>& rhoMin,
                      std::array<float, 4>& rhoMax, float& depthMin, float& depthMax, float& elevationMin,
                      float& elevationMax);
// Both axes of the model frame from the kept ranges.
void SCALEMODELS(GraphFrame& frame, const SoundingRecord& record, std::array<float, 4>& rhoMin,
                 std::array<float, 4>& rhoMax, float& depthMin, float& depthMax);
// The model graph's place and size on the page, depth downwards.
void MODINCH(GraphFrame& frame, int32_t panels);

// Routines of the module that no command calls.
void MDL2SML(float limit, std::span<float> rho, std::span<float> z, int32_t& count,
             std::span<const float> resistivities, std::span<const float> thicknesses, int32_t nl, bool depthFlag);
// Rubber-band change of the picked layer: `layer` > 0 moves its
// resistivity, < 0 the boundary below layer -layer, to the pointer (window
// units 0..10000) and draws the staircase in XOR.
void RUBBERMODEL(SoundingRecord& record, GraphFrame& frame, int32_t layer, int32_t wx, int32_t wy);
// The staircase segment nearest the pointer within 0.1 inch (0 none; as
// RUBBERMODEL numbers layers), with the cursor shape set for it.
int32_t NEARMODEL(const SoundingRecord& record, const GraphFrame& frame, int32_t wx, int32_t wy);
// One-call scaling for a single model.
void SCALE_MDL(GraphFrame& frame, const SoundingRecord& record, bool& first);

// The frames of an empty suite (see DisplaySettings.h).
void DefaultGraphFrames();
