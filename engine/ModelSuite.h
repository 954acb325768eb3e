// The model suite: N models that vary one parameter, computed member by
// member into SuiteResults, with the scaling inputs of both graphs and one
// label per curve.
//
// MODELSUITE is the command: it runs the definition pages, then the suite
// work under a progress dialog whose Cancel stops after the member in
// progress, and redraws the page. ComputeSuite is the suite work alone
// (settings, base and second model in; results, ranges and labels out),
// without dialogs.
#pragma once

#include <cstdint>
#include <string>

#include "engine/SoundingHandler.h"

// Outcomes of ComputeSuite.
inline constexpr int32_t kSuiteComputed = 0;
inline constexpr int32_t kSuiteCancelled = 1;  // stopped after a member; the rest hold 1e20
inline constexpr int32_t kSuiteRefused = 2;    // an input does not fit; nothing computed or changed
inline constexpr int32_t kSuiteNoMemory = 3;   // the result arrays could not be made

// What the caller does around the member loop (each may be null):
// Begin once the result arrays exist, MemberStart before member k,
// MemberDone after member k is stored (true stops the loop there), End
// after the loop, before the scaling.
struct SuiteProgressHooks {
  void (*Begin)(int32_t n) = nullptr;
  void (*MemberStart)(int32_t k) = nullptr;
  bool (*MemberDone)(int32_t k) = nullptr;
  void (*End)() = nullptr;
};

// The suite work on SuiteBaseModel (every member is computed in its
// primary record), SuiteSecondModel and the settings: checks every input
// first (a refusal is shown with WINMSG and changes nothing), computes the
// members into SuiteResults with its snapshot, sets the curve and model
// ranges, scales both graphs, restores the varied parameter and makes the
// labels.
int32_t ComputeSuite(const SuiteProgressHooks& hooks = {});

// A member's value less the second model's, or that difference in percent
// of the second model's; missing (1e20) when either is missing or the
// percentage would divide by 0.
float SuiteDifference(float member, float second, bool percent);

// The parameter caption the variation page composes (256 characters), from
// which the first label is made.
std::string& SuiteParameterCaption();
// Composes it for the kind and layer of SuiteSettings.
void ComposeParameterCaption();

// The command. cancelled: true when the user ended the suite with Cancel,
// on a page or during the computation. firstCall: true on the start-up
// call only (the suite's models are then copied from the current
// sounding); cleared here.
void MODELSUITE(SoundingRecord& currentPrimary, SoundingRecord& currentPartner, bool& cancelled, bool& firstCall);

// Called after each member is stored, before the cancel poll (tests).
using SuiteMemberHook = void (*)(int32_t k);
void SetSuiteMemberHook(SuiteMemberHook hook);
