// The sounding record: a measuring arrangement, its data, a layered earth
// model and the synthetic curves computed for it. Every sounding routine takes
// a sounding as a pair of records of one type: the primary owns the data; the
// partner carries a second model with its own synthetic curves and refers to
// the primary's data arrays.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A dynamically sized array of one or two dimensions, 1-based in every
// dimension, stored column-major (first index fastest), that records whether
// it is currently allocated.
template <typename T>
struct FArray {
  std::vector<T> Data;
  int32_t Dim1 = 0;
  int32_t Dim2 = 0;
  bool Allocated = false;

  // New storage, zero-filled; a negative count is taken as 0.
  void Create(int32_t n1, int32_t n2 = 1) {
    Dim1 = n1 < 0 ? 0 : n1;
    Dim2 = n2 < 0 ? 0 : n2;
    Data.assign(static_cast<size_t>(Dim1) * static_cast<size_t>(Dim2), T{});
    Allocated = true;
  }
  void Release() {
    Data.clear();
    Data.shrink_to_fit();
    Dim1 = Dim2 = 0;
    Allocated = false;
  }
  int32_t Size() const { return static_cast<int32_t>(Data.size()); }
  void Fill(T v) { Data.assign(Data.size(), v); }
  T& operator()(int32_t i) { return Data[static_cast<size_t>(i - 1)]; }
  const T& operator()(int32_t i) const { return Data[static_cast<size_t>(i - 1)]; }
  T& operator()(int32_t i, int32_t j) {
    return Data[static_cast<size_t>(j - 1) * static_cast<size_t>(Dim1) + static_cast<size_t>(i - 1)];
  }
  const T& operator()(int32_t i, int32_t j) const {
    return Data[static_cast<size_t>(j - 1) * static_cast<size_t>(Dim1) + static_cast<size_t>(i - 1)];
  }
};

using RealArray = FArray<float>;
using IntArray = FArray<int32_t>;
using LogicalArray = FArray<uint8_t>;
using WordArray = FArray<uint32_t>;

// The 20-character names of survey arrangements that records are compared
// with. Nothing stores a name, so every comparison takes the default path:
// the transient grounded-wire arrangement.
extern const std::array<const char*, 19> SystemTypeNames;

// The layered model (also used as a separate model record). With NL layers
// and one value per layer, Value(1..NL) are the resistivities (ohm-m, top
// down) and Value(NL+1..2NL-1) the thicknesses of layers 1..NL-1, or with
// DepthFlag the depths to their bottoms (m). The bottom layer is a half-space.
struct Model1D {
  int32_t NLayers = 0;
  int32_t ValuesPerLayer = 0;
  int32_t NParams = 0;
  std::array<uint32_t, 4> Words{};
  bool DepthFlag = false;
  int32_t ModelCountA = 0;
  int32_t ModelCountB = 0;
  uint32_t Word = 0;
  RealArray Value;
  RealArray AuxA;
  RealArray AuxB;
  LogicalArray FlagA;
  LogicalArray FlagB;
};

// The arrays of a record's data part. A partner refers to its primary's
// block (shared ownership), so re-creating the primary's arrays in place is
// seen through the partner and never leaves it dangling.
struct SoundingDataArrays {
  RealArray DataMatrix;    // [NT, NDataCols]; column 1 the abscissa after a computation
  RealArray CurveMatrixA;  // [NT, NCx]
  RealArray CurveMatrixB;  // [NT, NCx]
  RealArray ItemReal1, ItemReal2, ItemReal3, ItemReal4, ItemReal5;  // [NI]
  RealArray MarkReals;     // [NM], only when NM > 0
  IntArray MarkInts;       // [NM], only when NM > 0
  IntArray ItemInt0, ItemInt1, ItemInt2, ItemInt3;  // [NI]
  LogicalArray CurveMask;  // [NT, NCx]
  LogicalArray CurveFlags; // [NC]
};

// The data part's texts, counts and carried words.
struct SoundingData {
  std::string Title = std::string(24, ' ');
  std::string SystemName = std::string(20, '\0');
  std::string SecondName = std::string(20, ' ');
  int32_t NCurves = 0;
  int32_t NPoints = 0;
  int32_t NDataCols = 0;
  int32_t NItems = 0;
  std::array<uint32_t, 9> WordsA{};
  float ScaleA = 0.0f;  // the 10th and 11th carried words
  float ScaleB = 0.0f;
  std::array<uint32_t, 8> WordsB{};
  bool CopyMark = false;
  std::array<uint32_t, 3> WordsC{};
  bool ExtraCurves = false;  // curve matrices get NC + 2 columns
  uint32_t WordD = 0;
  int32_t NMarks = 0;
  std::array<uint32_t, 2> WordsE{};
  uint16_t HalfWordA = 0;
  std::string UnitsText = std::string(10, ' ');
  uint32_t WordF = 0;
  int32_t NCurveSets = 0;
  std::string Text32 = std::string(32, ' ');
  std::array<uint32_t, 7> WordsG{};
  uint16_t HalfWordB = 0;
  std::string Text10 = std::string(10, ' ');
  std::array<uint32_t, 2> WordsH{};
  std::string Waveform = std::string(16, ' ');
  std::array<uint32_t, 8> WordsI{};
};

struct SoundingRecord {
  // Header
  float MeasureA = 0.0f;
  float MeasureB = 0.0f;
  std::array<uint32_t, 2> HeaderWordsA{};
  bool Computed = false;       // Synthetics hold the response of the current model
  bool HasStatistics = false;
  bool HasInversion = false;
  bool ChangedFlag = false;
  std::array<uint32_t, 3> HeaderWordsB{};

  SoundingData Data;
  std::shared_ptr<SoundingDataArrays> Arrays = std::make_shared<SoundingDataArrays>();
  WordArray ExtraVector;  // never created here; copied when present

  Model1D Model;

  RealArray Synthetics;  // [NT, NC]: main curve, late-time, all-time; 1.0e20 = missing
  RealArray Statistics;  // packed symmetric [NP (NP + 1) / 2]
  RealArray InvMatrix;   // [2 NP, NP]
  RealArray InvVecA, InvVecB;  // [NP]
  RealArray InvLayA, InvLayB;  // [NL]
  RealArray InvVecC;           // [2 NP]

  SoundingRecord() = default;
  // Records are copied only through COPYSOUND: a plain copy would share the
  // data arrays between two soundings.
  SoundingRecord(const SoundingRecord&) = delete;
  SoundingRecord& operator=(const SoundingRecord&) = delete;
  SoundingRecord(SoundingRecord&&) = default;
  SoundingRecord& operator=(SoundingRecord&&) = default;
};

struct SoundingPair {
  SoundingRecord Primary;
  SoundingRecord Partner;
};

// The four soundings of the program; they live for the whole run.
SoundingPair& CurrentSounding();
SoundingPair& SuiteBaseModel();
SoundingPair& SuiteSecondModel();
SoundingPair& SuiteSpareCopy();
void ResetSoundings();  // empties all four (tests)

void ALLOCSOUND(SoundingRecord& primary, SoundingRecord& partner);
void COPYSOUND(SoundingRecord& d1, SoundingRecord& d2, SoundingRecord& s1, SoundingRecord& s2);
void DEALLOCSOUND(SoundingRecord& primary, SoundingRecord& partner);
void GETMODEL1D(const SoundingRecord& record, Model1D& model);
void PUTMODEL1D(SoundingRecord& record, const Model1D& model);
void NULLIFYSOUND(SoundingRecord& primary, SoundingRecord& partner);
void REALLOCDATA(SoundingRecord& record, int32_t columns, int32_t curveColumns, int32_t& status);
void REALLOCLENGTH(SoundingRecord& record, int32_t columns, int32_t curveColumns, int32_t& status);
void CHECKMODONDAT(const SoundingRecord& record, bool& result);
