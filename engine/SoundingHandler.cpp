#include "engine/SoundingHandler.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "VOZUVar/Strings.h"

const std::array<const char*, 19> SystemTypeNames = {
    "Grounded Wire TEM   ", "Fixed Loop TEM      ", "Coincident Loop TEM ", "Central Loop TEM    ",
    "Circular Loop Hz    ", "Controlled Source MT", "Magnetotelluric Data", "MT Data xy, yx, inv.",
    "EM Conductivity Data", "Vertical Coaxial    ", "Horizontal Coplanar ", "Vertical Coplanar   ",
    "Marine TEM Inline E ", "Marine TEM B-Side E ", "Marine TEM XLine H  ", "Marine FEM Inline E ",
    "Marine FEM B-Side E ", "Surface-Borehole Ez ", "Surface-Borehole Hz ",
};

namespace {

SoundingPair gCurrent, gBase, gSecond, gSpare;

int32_t NonNegative(int32_t n) { return n < 0 ? 0 : n; }

// Element-by-element copy over the index range both arrays have, so that a
// source whose arrays do not match its counts is never read past its end.
template <typename T>
void CopyElements(FArray<T>& dst, const FArray<T>& src) {
  if (!dst.Allocated || !src.Allocated) return;
  const int32_t n1 = std::min(dst.Dim1, src.Dim1);
  const int32_t n2 = std::min(dst.Dim2, src.Dim2);
  for (int32_t j = 1; j <= n2; ++j)
    for (int32_t i = 1; i <= n1; ++i) dst(i, j) = src(i, j);
}

// A copy that takes the source's shape (or its absence).
template <typename T>
void CloneArray(FArray<T>& dst, const FArray<T>& src) {
  if (!src.Allocated) {
    dst.Release();
    return;
  }
  dst = src;
}

void CreateModelVectors(Model1D& m, int32_t np) {
  m.Value.Create(np);
  m.AuxA.Create(np);
  m.AuxB.Create(np);
  m.FlagB.Create(np);
  m.FlagA.Create(np);
}

void ReleaseModelVectors(Model1D& m) {
  m.Value.Release();
  m.AuxA.Release();
  m.AuxB.Release();
  m.FlagB.Release();
  m.FlagA.Release();
}

void CopyModelVectors(Model1D& dst, const Model1D& src) {
  CopyElements(dst.Value, src.Value);
  CopyElements(dst.AuxA, src.AuxA);
  CopyElements(dst.AuxB, src.AuxB);
  CopyElements(dst.FlagB, src.FlagB);
  CopyElements(dst.FlagA, src.FlagA);
}

void ReleaseInversion(SoundingRecord& r) {
  r.InvMatrix.Release();
  r.InvVecA.Release();
  r.InvVecB.Release();
  r.InvLayA.Release();
  r.InvLayB.Release();
  r.InvVecC.Release();
}

int32_t Twice(int32_t n) { return n > INT32_MAX / 2 ? INT32_MAX : 2 * n; }

int32_t PackedSize(int32_t np) {
  const int64_t n = NonNegative(np);
  const int64_t packed = n * (n + 1) / 2;
  return packed > INT32_MAX ? INT32_MAX : static_cast<int32_t>(packed);
}

// The header fields that COPYSOUND carries from one record to another.
void CopyHeader(SoundingRecord& dst, const SoundingRecord& src) {
  dst.MeasureA = src.MeasureA;
  dst.MeasureB = src.MeasureB;
  dst.HeaderWordsA = src.HeaderWordsA;
  dst.Computed = src.Computed;
  dst.HasStatistics = src.HasStatistics;
  dst.HasInversion = src.HasInversion;
  dst.HeaderWordsB[0] = src.HeaderWordsB[0];
  dst.ChangedFlag = true;
}

void ReleaseDataArrays(SoundingDataArrays& a) {
  a.DataMatrix.Release();
  a.CurveMatrixA.Release();
  a.CurveMatrixB.Release();
  a.CurveMask.Release();
  a.CurveFlags.Release();
  a.ItemReal1.Release();
  a.ItemReal2.Release();
  a.ItemReal3.Release();
  a.ItemReal4.Release();
  a.ItemReal5.Release();
  a.MarkReals.Release();
  a.MarkInts.Release();
  a.ItemInt0.Release();
  a.ItemInt1.Release();
  a.ItemInt2.Release();
  a.ItemInt3.Release();
}

void CreateItemVectors(SoundingDataArrays& a, int32_t ni) {
  a.ItemReal1.Create(ni);
  a.ItemReal2.Create(ni);
  a.ItemReal3.Create(ni);
  a.ItemReal4.Create(ni);
  a.ItemReal5.Create(ni);
  a.ItemInt1.Create(ni);
  a.ItemInt2.Create(ni);
  a.ItemInt3.Create(ni);
  a.ItemInt0.Create(ni);
  a.ItemInt3.Fill(1);
}

// The per-point arrays: data columns, curve matrix A, curve matrix B and its
// mask (maskColumns wide), one flag per curve.
void CreatePointArrays(SoundingDataArrays& a, int32_t nt, int32_t columns, int32_t curveColumns,
                       int32_t maskColumns, int32_t nc) {
  a.DataMatrix.Create(nt, columns);
  a.CurveMatrixA.Create(nt, curveColumns);
  a.CurveMatrixB.Create(nt, maskColumns);
  a.CurveMask.Create(nt, maskColumns);
  a.CurveFlags.Create(nc);
}

bool SameText(std::string_view a, std::string_view b) { return TrimTrailingBlanks(a) == TrimTrailingBlanks(b); }

}  // namespace

SoundingPair& CurrentSounding() { return gCurrent; }
SoundingPair& SuiteBaseModel() { return gBase; }
SoundingPair& SuiteSecondModel() { return gSecond; }
SoundingPair& SuiteSpareCopy() { return gSpare; }

void ResetSoundings() {
  for (SoundingPair* p : {&gCurrent, &gBase, &gSecond, &gSpare}) *p = SoundingPair{};
}

void ALLOCSOUND(SoundingRecord& primary, SoundingRecord& partner) {
  SoundingData& d = primary.Data;
  SoundingDataArrays& a = *primary.Arrays;
  const int32_t nt = NonNegative(d.NPoints);
  const int32_t nc = NonNegative(d.NCurves);
  const int32_t ni = NonNegative(d.NItems);
  const int32_t ncx = nc + (d.ExtraCurves ? 2 : 0);

  CreatePointArrays(a, nt, NonNegative(d.NDataCols), ncx, ncx, nc);
  CreateItemVectors(a, ni);

  if (d.NMarks > nt) d.NMarks = 0;
  if (d.NMarks > 0) {
    a.MarkReals.Create(d.NMarks);
    a.MarkInts.Create(d.NMarks);
  }

  CreateModelVectors(primary.Model, NonNegative(primary.Model.NParams));
  primary.Synthetics.Create(nt, nc);
  partner.Synthetics.Create(nt, nc);
}

void DEALLOCSOUND(SoundingRecord& primary, SoundingRecord& partner) {
  ReleaseDataArrays(*primary.Arrays);
  ReleaseModelVectors(primary.Model);
  primary.Synthetics.Release();
  primary.Statistics.Release();
  ReleaseInversion(primary);
  partner.Synthetics.Release();
  ReleaseInversion(partner);
  partner.Statistics.Release();
}

void COPYSOUND(SoundingRecord& d1, SoundingRecord& d2, SoundingRecord& s1, SoundingRecord& s2) {
  if (!s1.Statistics.Allocated) s1.HasStatistics = false;

  d1.HeaderWordsB[1] = s1.HeaderWordsB[1];
  d1.HeaderWordsB[2] = s1.HeaderWordsB[2];
  d1.Data = s1.Data;
  d1.Data.CopyMark = true;
  d1.Model.NLayers = s1.Model.NLayers;
  d1.Model.ValuesPerLayer = s1.Model.ValuesPerLayer;
  d1.Model.NParams = s1.Model.NParams;
  d1.Model.Words = s1.Model.Words;
  d1.Model.DepthFlag = s1.Model.DepthFlag;
  d1.Model.ModelCountA = s1.Model.ModelCountA;

  // The destination gets arrays of its own: nothing is shared with the source.
  if (d1.Arrays == s1.Arrays) d1.Arrays = std::make_shared<SoundingDataArrays>();
  DEALLOCSOUND(d1, d2);
  ALLOCSOUND(d1, d2);

  SoundingDataArrays& da = *d1.Arrays;
  const SoundingDataArrays& sa = *s1.Arrays;
  CopyElements(da.DataMatrix, sa.DataMatrix);
  CopyElements(da.CurveMatrixA, sa.CurveMatrixA);
  CopyElements(da.CurveMatrixB, sa.CurveMatrixB);
  CopyElements(da.ItemReal1, sa.ItemReal1);
  CopyElements(da.ItemReal2, sa.ItemReal2);
  CopyElements(da.ItemReal3, sa.ItemReal3);
  CopyElements(da.ItemReal4, sa.ItemReal4);
  CopyElements(da.ItemReal5, sa.ItemReal5);
  CopyElements(da.ItemInt0, sa.ItemInt0);
  CopyElements(da.ItemInt1, sa.ItemInt1);
  CopyElements(da.ItemInt2, sa.ItemInt2);
  CopyElements(da.ItemInt3, sa.ItemInt3);
  if (d1.Data.NMarks > 0) {
    CopyElements(da.MarkReals, sa.MarkReals);
    CopyElements(da.MarkInts, sa.MarkInts);
  }
  CopyElements(da.CurveMask, sa.CurveMask);
  CopyElements(da.CurveFlags, sa.CurveFlags);
  CopyModelVectors(d1.Model, s1.Model);

  CopyHeader(d1, s1);

  // The partner's data part is the primary's: its arrays are shared, its
  // extra vector is its own copy.
  d2.Data = d1.Data;
  d2.Arrays = d1.Arrays;
  CloneArray(d2.ExtraVector, d1.ExtraVector);

  if (s1.Computed) CopyElements(d1.Synthetics, s1.Synthetics);

  if (s1.HasStatistics) {
    d1.Statistics.Create(PackedSize(d1.Model.NParams));
    CopyElements(d1.Statistics, s1.Statistics);
    if (s1.HasInversion) {
      const int32_t np = NonNegative(d1.Model.NParams);
      const int32_t nl = NonNegative(d1.Model.NLayers);
      d1.InvMatrix.Create(Twice(np), np);
      d1.InvVecA.Create(np);
      d1.InvVecB.Create(np);
      d1.InvLayA.Create(nl);
      d1.InvLayB.Create(nl);
      d1.InvVecC.Create(Twice(np));
      CopyElements(d1.InvMatrix, s1.InvMatrix);
      CopyElements(d1.InvVecA, s1.InvVecA);
      CopyElements(d1.InvVecB, s1.InvVecB);
      CopyElements(d1.InvLayA, s1.InvLayA);
      CopyElements(d1.InvLayB, s1.InvLayB);
      CopyElements(d1.InvVecC, s1.InvVecC);
    } else {
      ReleaseInversion(d1);
    }
  } else {
    d1.Statistics.Release();
    ReleaseInversion(d1);
  }

  CopyHeader(d2, s2);
  ReleaseInversion(d2);

  if (!s2.Computed) {
    d2.Statistics.Release();
    ReleaseModelVectors(d2.Model);
    d2.Model.NParams = 0;
    d2.Model.NLayers = 0;
    d2.Computed = false;
    return;
  }

  d2.Model.NLayers = s2.Model.NLayers;
  d2.Model.ValuesPerLayer = s2.Model.ValuesPerLayer;
  d2.Model.NParams = s2.Model.NParams;
  d2.Model.Words = s2.Model.Words;
  d2.Model.DepthFlag = s2.Model.DepthFlag;
  CopyElements(d2.Synthetics, s2.Synthetics);
  CreateModelVectors(d2.Model, NonNegative(s2.Model.NParams));
  CopyModelVectors(d2.Model, s2.Model);
  if (d2.HasStatistics) {
    d2.Statistics.Create(PackedSize(d2.Model.NParams));
    CopyElements(d2.Statistics, s2.Statistics);
  }
}

void GETMODEL1D(const SoundingRecord& record, Model1D& model) {
  ReleaseModelVectors(model);
  model.NLayers = record.Model.NLayers;
  model.ValuesPerLayer = record.Model.ValuesPerLayer;
  model.NParams = record.Model.NParams;
  model.DepthFlag = record.Model.DepthFlag;
  CreateModelVectors(model, NonNegative(model.NParams));
  CopyModelVectors(model, record.Model);
}

void PUTMODEL1D(SoundingRecord& record, const Model1D& model) {
  ReleaseModelVectors(record.Model);
  record.Model.NLayers = model.NLayers;
  record.Model.NParams = model.NParams;
  record.Model.ValuesPerLayer = model.ValuesPerLayer;
  record.Model.DepthFlag = model.DepthFlag;
  CreateModelVectors(record.Model, NonNegative(model.NParams));
  CopyModelVectors(record.Model, model);
  record.Computed = false;
  record.HasStatistics = false;
  record.HasInversion = false;
  record.ChangedFlag = false;
}

void NULLIFYSOUND(SoundingRecord& primary, SoundingRecord& partner) {
  primary.Arrays = std::make_shared<SoundingDataArrays>();
  primary.ExtraVector.Release();
  for (SoundingRecord* r : {&primary, &partner}) {
    ReleaseModelVectors(r->Model);
    r->Synthetics.Release();
    r->Statistics.Release();
    ReleaseInversion(*r);
    r->Computed = false;
    r->HasStatistics = false;
    r->HasInversion = false;
  }
  primary.Data.NPoints = 0;
  primary.ChangedFlag = false;
}

void REALLOCDATA(SoundingRecord& record, int32_t columns, int32_t curveColumns, int32_t& status) {
  SoundingDataArrays& a = *record.Arrays;
  const SoundingData& d = record.Data;
  const int32_t nt = NonNegative(d.NPoints);
  const int32_t nc = NonNegative(d.NCurves);
  CreatePointArrays(a, nt, columns, curveColumns, nc, nc);
  CreateItemVectors(a, NonNegative(d.NItems));
  status = 0;
}

void REALLOCLENGTH(SoundingRecord& record, int32_t columns, int32_t curveColumns, int32_t& status) {
  SoundingDataArrays& a = *record.Arrays;
  SoundingData& d = record.Data;
  const int32_t nt = NonNegative(d.NPoints);
  const int32_t nc = NonNegative(d.NCurves);
  CreatePointArrays(a, nt, columns, curveColumns, nc, nc);
  if (d.NMarks > nt) d.NMarks = 0;
  status = 0;
}

void CHECKMODONDAT(const SoundingRecord& record, bool& result) {
  static constexpr std::array<const char*, 9> kLandAndLoop = {
      "Grounded Wire TEM   ", "Fixed Loop TEM      ", "Coincident Loop TEM ",
      "Central Loop TEM    ", "Controlled Source MT", "Magnetotelluric Data",
      "Vertical Coaxial    ", "Horizontal Coplanar ", "Vertical Coplanar   "};
  for (const char* name : kLandAndLoop)
    if (SameText(record.Data.SystemName, name)) result = false;
}
