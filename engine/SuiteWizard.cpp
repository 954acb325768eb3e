#include "engine/ModelSuite.h"

#include "VOZUVar/CancelPoll.h"
#include "VOZUVar/MessageBoxes.h"
#include "app/SuiteServices.h"
#include "engine/SuiteModelEditor.h"
#include "engine/SuitePages.h"
#include "engine/SuiteResults.h"
#include "engine/SuiteSettings.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"

namespace {

constexpr int32_t kProgressDialog = 213;
constexpr int32_t kProgressMember = 1331;
constexpr int32_t kProgressCount = 1332;
constexpr int32_t kProgressBar = 1371;
constexpr int32_t kBack = 1357;

// The progress dialog of the command around the member loop.
void ProgressBegin(int32_t n) {
  WDialogLoad(kProgressDialog);
  WDialogPutInteger(kProgressCount, n);
  WDialogRangeProgressBar(kProgressBar, 0, n);
  WDialogPutProgressBar(kProgressBar, 0);
  WDialogShow(-1, -1, 0, 2);
  LKILL(1);
}
void ProgressMemberStart(int32_t k) {
  WDialogSelect(kProgressDialog);
  WDialogPutInteger(kProgressMember, k);
}
bool ProgressMemberDone(int32_t k) {
  WDialogSelect(kProgressDialog);
  WDialogPutProgressBar(kProgressBar, k);
  return LKILL(0);
}
void ProgressEnd() {
  LKILL(1);
  WDialogSelect(kProgressDialog);
  WDialogHide();
  WDialogUnload();
}

}  // namespace

void MODELSUITE(SoundingRecord& currentPrimary, SoundingRecord& currentPartner, bool& cancelled, bool& firstCall) {
  SuiteSettingsRecord& s = SuiteSettings();
  SoundingPair& base = SuiteBaseModel();
  SoundingPair& second = SuiteSecondModel();
  cancelled = false;
  if (firstCall) {
    COPYSOUND(base.Primary, base.Partner, currentPrimary, currentPartner);
    COPYSOUND(second.Primary, second.Partner, currentPrimary, currentPartner);
    COPYSOUND(SuiteSpareCopy().Primary, SuiteSpareCopy().Partner, currentPrimary, currentPartner);
  }
  base.Primary.Model.ValuesPerLayer = 1;
  firstCall = false;
  base.Primary.Model.ModelCountA = 0;
  base.Primary.Model.ModelCountB = 0;

  enum Page { kType, kBaseModel, kSecondModel, kVariation, kAbscissa, kCompute };
  Page page = kType;
  int32_t exit = 0;
  auto secondShown = [&s] { return s.LDifference || s.ISuiteType == kFadeInKind; };
  auto afterBaseModel = [&] { return secondShown() ? kSecondModel : (s.NSuite > 1 ? kVariation : kAbscissa); };
  for (;;) {
    switch (page) {
      case kType:
        if (s.ISuiteType < 1 || s.ISuiteType > kFadeInKind) s.ISuiteType = 1;
        MODELSUITETYPE(exit, cancelled);
        if (cancelled) return;
        page = exit == kBack ? kType : kBaseModel;
        break;
      case kBaseModel:
        SUITEMODELEDIT(base.Primary, cancelled, exit, 1);
        if (cancelled) return;
        page = exit == kBack ? kType : afterBaseModel();
        break;
      case kSecondModel:
        SUITEMODELEDIT(second.Primary, cancelled, exit, s.LDifference ? 3 : 2);
        if (cancelled) return;
        if (exit == kBack) {
          page = kBaseModel;
        } else if (s.ISuiteType == kFadeInKind && base.Primary.Model.NParams != second.Primary.Model.NParams) {
          // Checked for every fade, also while the second model is subtracted.
          WINMSG("First and Second models must have same number of layers");
        } else {
          page = s.NSuite > 1 ? kVariation : kAbscissa;
        }
        break;
      case kVariation: {
        const SuiteGenerationRecord& g = s.Generation;
        MODELSUITEVARY(g.Start, g.Increment, g.End, 8, g.Geometric, g.Count, exit, cancelled);
        if (cancelled) return;
        page = exit == kBack ? (secondShown() ? kSecondModel : kBaseModel) : kAbscissa;
        break;
      }
      case kAbscissa:
        SuiteResults().NoiseOn = s.VNoise > 0.0f && s.ISuiteType != 4 && (s.IComponent == 1 || s.IComponent == 3);
        MODELSUITEABS(exit, cancelled);
        if (cancelled) return;
        if (exit == kBack) page = s.NSuite > 1 ? kVariation : (secondShown() ? kSecondModel : kBaseModel);
        else page = kCompute;
        break;
      case kCompute: {
        WCursorShape(1);
        SuiteProgressHooks hooks;
        hooks.Begin = ProgressBegin;
        hooks.MemberStart = ProgressMemberStart;
        hooks.MemberDone = ProgressMemberDone;
        hooks.End = ProgressEnd;
        const int32_t outcome = ComputeSuite(hooks);
        if (outcome == kSuiteRefused) {
          // The message named the value; the last page opens again.
          WCursorShape(0);
          page = kAbscissa;
          break;
        }
        if (outcome == kSuiteNoMemory) {
          WCursorShape(0);
          return;
        }
        cancelled = outcome == kSuiteCancelled;
        REFRESHSUITE(currentPrimary, currentPartner);
        SavedCurveGraphFrame() = CurveGraphFrame();
        SavedModelGraphFrame() = ModelGraphFrame();
        WCursorShape(0);
        return;
      }
    }
  }
}
