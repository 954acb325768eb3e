// Sounding records: creation from counts, the deep copy of a pair, the model
// moves and the routines nothing else calls.
#include "tests/engine/EngineFixture.h"

namespace {

class Sounding : public EngineTest {};

TEST_F(Sounding, AllocationFollowsTheCounts) {
  SoundingRecord p, q;
  p.Data.NPoints = 4;
  p.Data.NCurves = 1;
  p.Data.NDataCols = -5;
  p.Data.NItems = 2;
  p.Data.NMarks = 9;  // more marks than points: none
  p.Data.ExtraCurves = true;
  p.Model.NParams = 3;
  ALLOCSOUND(p, q);
  const SoundingDataArrays& a = *p.Arrays;
  EXPECT_TRUE(a.DataMatrix.Allocated);
  EXPECT_EQ(a.DataMatrix.Size(), 0);
  EXPECT_EQ(p.Data.NMarks, 0);
  EXPECT_FALSE(a.MarkReals.Allocated);
  EXPECT_EQ(a.CurveMatrixA.Dim2, 3);
  EXPECT_EQ(a.CurveMask.Dim2, 3);
  EXPECT_EQ(a.CurveFlags.Size(), 1);
  EXPECT_EQ(p.Synthetics.Dim2, 1);
  EXPECT_EQ(q.Synthetics.Dim1, 4);
  EXPECT_EQ(a.ItemInt3(2), 1);
  EXPECT_EQ(a.ItemInt1(2), 0);
  EXPECT_EQ(p.Model.Value.Size(), 3);
}

TEST_F(Sounding, CopyIsDeepAndThePartnerSharesItsPrimarysData) {
  SoundingPair& src = CurrentSounding();
  SetModel(src.Primary, {10.0f, 100.0f}, {200.0f}, false, 5, 2);
  src.Primary.Arrays->DataMatrix(3, 1) = 7.0f;
  src.Primary.Synthetics(2, 2) = 5.0f;
  src.Primary.Computed = true;
  src.Primary.HasStatistics = true;  // claimed, but no array: the flag is corrected
  src.Primary.Data.Title = "Survey 7" + std::string(16, ' ');

  SoundingPair& dst = SuiteBaseModel();
  COPYSOUND(dst.Primary, dst.Partner, src.Primary, src.Partner);
  EXPECT_FALSE(src.Primary.HasStatistics);
  EXPECT_FALSE(dst.Primary.Statistics.Allocated);
  EXPECT_TRUE(dst.Primary.ChangedFlag);
  EXPECT_TRUE(dst.Primary.Data.CopyMark);
  EXPECT_EQ(dst.Primary.Data.Title, src.Primary.Data.Title);
  EXPECT_EQ(dst.Primary.Arrays->DataMatrix(3, 1), 7.0f);
  EXPECT_EQ(dst.Primary.Synthetics(2, 2), 5.0f);
  EXPECT_EQ(dst.Primary.Model.Value(3), 200.0f);
  // The source's partner was not computed: the destination partner has no model.
  EXPECT_EQ(dst.Partner.Model.NLayers, 0);
  EXPECT_EQ(dst.Partner.Model.NParams, 0);
  EXPECT_FALSE(dst.Partner.Model.Value.Allocated);

  // Nothing is shared between the two pairs.
  src.Primary.Arrays->DataMatrix(3, 1) = 8.0f;
  src.Primary.Model.Value(1) = 11.0f;
  src.Primary.Synthetics(2, 2) = 6.0f;
  EXPECT_EQ(dst.Primary.Arrays->DataMatrix(3, 1), 7.0f);
  EXPECT_EQ(dst.Primary.Model.Value(1), 10.0f);
  EXPECT_EQ(dst.Primary.Synthetics(2, 2), 5.0f);

  // Within the destination pair the data part is shared, the synthetics are
  // not, and re-creating the primary's data arrays is seen by the partner.
  dst.Primary.Arrays->DataMatrix(1, 1) = 3.0f;
  EXPECT_EQ(dst.Partner.Arrays->DataMatrix(1, 1), 3.0f);
  dst.Primary.Synthetics(1, 1) = 9.0f;
  EXPECT_NE(dst.Partner.Synthetics(1, 1), 9.0f);
  dst.Primary.Arrays->DataMatrix.Release();
  dst.Primary.Arrays->DataMatrix.Create(60, 1);
  EXPECT_EQ(dst.Partner.Arrays->DataMatrix.Dim1, 60);
}

TEST_F(Sounding, CopyCarriesAComputedPartnerAndStatistics) {
  SoundingPair& src = CurrentSounding();
  SetModel(src.Primary, {10.0f, 100.0f}, {200.0f}, false, 3, 1);
  src.Primary.HasStatistics = true;
  src.Primary.HasInversion = true;
  src.Primary.Statistics.Create(6);
  src.Primary.Statistics(6) = 4.0f;
  src.Primary.InvLayB.Create(2);
  src.Primary.InvLayB(2) = 2.5f;
  src.Partner.Computed = true;
  src.Partner.Model.NLayers = 1;
  src.Partner.Model.NParams = 1;
  src.Partner.Model.Value.Create(1);
  src.Partner.Model.Value(1) = 42.0f;
  src.Partner.Synthetics.Create(3, 1);
  src.Partner.Synthetics(3, 1) = 1.5f;

  SoundingPair& dst = SuiteSecondModel();
  COPYSOUND(dst.Primary, dst.Partner, src.Primary, src.Partner);
  ASSERT_TRUE(dst.Primary.Statistics.Allocated);
  EXPECT_EQ(dst.Primary.Statistics(6), 4.0f);
  EXPECT_EQ(dst.Primary.InvLayB(2), 2.5f);
  EXPECT_EQ(dst.Primary.InvMatrix.Dim1, 6);
  EXPECT_EQ(dst.Partner.Model.Value(1), 42.0f);
  EXPECT_EQ(dst.Partner.Synthetics(3, 1), 1.5f);
  EXPECT_TRUE(dst.Partner.Computed);
  EXPECT_FALSE(dst.Partner.InvMatrix.Allocated);
  src.Partner.Model.Value(1) = 1.0f;
  EXPECT_EQ(dst.Partner.Model.Value(1), 42.0f);
}

TEST_F(Sounding, ModelMovesAndUncalledRoutines) {
  SoundingRecord rec;
  SetModel(rec, {10.0f, 100.0f}, {200.0f}, true, 4, 1);
  rec.Computed = rec.HasStatistics = rec.HasInversion = rec.ChangedFlag = true;
  Model1D m;
  GETMODEL1D(rec, m);
  EXPECT_EQ(m.NLayers, 2);
  EXPECT_TRUE(m.DepthFlag);
  m.Value(2) = 50.0f;
  EXPECT_EQ(rec.Model.Value(2), 100.0f);
  PUTMODEL1D(rec, m);
  EXPECT_EQ(rec.Model.Value(2), 50.0f);
  EXPECT_FALSE(rec.Computed || rec.HasStatistics || rec.HasInversion || rec.ChangedFlag);

  int32_t status = -1;
  rec.Data.NMarks = 9;
  REALLOCLENGTH(rec, 2, 3, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(rec.Data.NMarks, 0);
  EXPECT_EQ(rec.Arrays->CurveMatrixA.Dim2, 3);
  REALLOCDATA(rec, 1, 1, status);
  EXPECT_EQ(rec.Arrays->ItemInt3.Size(), 0);

  bool result = true;
  CHECKMODONDAT(rec, result);  // a name of 20 zero bytes matches nothing
  EXPECT_TRUE(result);
  rec.Data.SystemName = "Central Loop TEM    ";
  CHECKMODONDAT(rec, result);
  EXPECT_FALSE(result);

  SoundingRecord partner;
  NULLIFYSOUND(rec, partner);
  EXPECT_EQ(rec.Data.NPoints, 0);
  EXPECT_FALSE(rec.Arrays->DataMatrix.Allocated);
  EXPECT_FALSE(rec.Model.Value.Allocated);
}

}  // namespace
