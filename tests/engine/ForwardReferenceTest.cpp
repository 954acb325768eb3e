// The forward computation against independent reference transients
// (tests/data/engine/transients.csv: three layered models at three offsets
// over the default time grid, from another layered-earth code) and against
// the closed-form half-space Hz over the offsets, resistivities and times
// the suite pages accept.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/CalcLotem.h"
#include "engine/HalfSpace.h"
#include "tests/engine/EngineFixture.h"

namespace {

constexpr double kMu0 = 4.0e-7 * 3.141592653589793;

struct ReferenceRow {
  std::vector<float> rho, thick;
  float offset = 0, angle = 0;
  std::string component;
  double time = 0, value = 0, alltime = 0;
};

std::vector<float> Numbers(const std::string& text) {
  std::vector<float> v;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ';'))
    if (!item.empty()) v.push_back(std::stof(item));
  return v;
}

// The reference curves, keyed by model, offset, angle and component, each
// with its rows in time order.
std::map<std::tuple<std::string, float, float, std::string>, std::vector<ReferenceRow>> ReadReference() {
  std::ifstream in(std::string(QUILLON_TEST_DATA) + "/engine/transients.csv");
  std::map<std::tuple<std::string, float, float, std::string>, std::vector<ReferenceRow>> curves;
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::vector<std::string> c;
    std::stringstream s(line);
    std::string cell;
    while (std::getline(s, cell, ',')) c.push_back(cell);
    if (c.size() < 9) continue;
    ReferenceRow r;
    r.rho = Numbers(c[2]);
    r.thick = Numbers(c[3]);
    r.offset = std::stof(c[4]);
    r.angle = std::stof(c[5]);
    r.component = c[6];
    r.time = std::stod(c[7]);
    r.value = std::stod(c[8]);
    r.alltime = c.size() > 10 && !c[10].empty() ? std::stod(c[10]) : 0.0;
    curves[{c[1], r.offset, r.angle, r.component}].push_back(r);
  }
  return curves;
}

class ForwardReference : public EngineTest {
 protected:
  void Compute(const std::vector<float>& rho, const std::vector<float>& thick, int32_t component, int32_t display,
               float offset, float angle, float first, float last) {
    SoundingRecord partner;
    rec_ = SoundingRecord{};
    rec_.Data.NPoints = 1;
    rec_.Data.NCurves = 3;
    rec_.Data.NDataCols = 1;
    rec_.Model.NLayers = static_cast<int32_t>(rho.size());
    rec_.Model.ValuesPerLayer = 1;
    rec_.Model.NParams = static_cast<int32_t>(rho.size() + thick.size());
    ALLOCSOUND(rec_, partner);
    int32_t k = 1;
    for (float v : rho) rec_.Model.Value(k++) = v;
    for (float v : thick) rec_.Model.Value(k++) = v;
    SetArrangement(component, display, offset, angle, first, last);
    CALCLOTEM(rec_);
    ASSERT_TRUE(rec_.Computed);
  }
  SoundingRecord rec_;
};

// Every curve of the reference on the default grid (1e-4 to 12.6 s): Hz
// within 1 %, Ex and Ey within 1.5 %. The reference itself departs from the
// closed-form half-space by up to 5 % where the induction number of its most
// resistive layer is below 0.008 (its own late-time limit, at 300 m after
// 6 s); those few Hz rows are left to the closed-form test below.
TEST_F(ForwardReference, CurvesMatchTheReference) {
  const auto curves = ReadReference();
  ASSERT_EQ(curves.size(), 45u);
  for (const auto& [key, rows] : curves) {
    const ReferenceRow& r0 = rows.front();
    SCOPED_TRACE(std::get<0>(key) + " " + r0.component + " at " + std::to_string(r0.offset) + " m, " +
                 std::to_string(r0.angle) + " degrees");
    const int32_t component = r0.component == "ex" ? 1 : (r0.component == "ey" ? 2 : 3);
    Compute(r0.rho, r0.thick, component, 1, r0.offset, r0.angle, 1.0e-4f, 10.0f);
    const ForwardCommonRecord& fc = ForwardCommon();
    ASSERT_EQ(fc.NTimes, static_cast<int32_t>(rows.size()));
    const double rhoMax = *std::max_element(r0.rho.begin(), r0.rho.end());
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_NEAR(fc.Times[i] / rows[i].time, 1.0, 1.0e-6);
      const double u = r0.offset * std::sqrt(kMu0 / (4.0 * rhoMax * rows[i].time));
      if (component == 3 && u < 0.008) continue;
      EXPECT_NEAR(fc.Response[i] / rows[i].value, 1.0, component == 3 ? 0.01 : 0.015) << "t " << rows[i].time;
    }
  }
}

// The all-time apparent resistivity of every Hz curve of the reference, from
// the second time on, within 2 % of the resistivity of the half-space whose
// step-off Hz equals the model's (the reference's own values, from its
// step-off fields), where the reference holds.
TEST_F(ForwardReference, AllTimeResistivityFollowsItsDefinition) {
  for (const auto& [key, rows] : ReadReference()) {
    const ReferenceRow& r0 = rows.front();
    if (r0.component != "hz") continue;
    SCOPED_TRACE(std::get<0>(key) + " at " + std::to_string(r0.offset) + " m, " + std::to_string(r0.angle) + " degrees");
    Compute(r0.rho, r0.thick, 3, 6, r0.offset, r0.angle, 1.0e-4f, 10.0f);
    const ForwardCommonRecord& fc = ForwardCommon();
    const double rhoMax = *std::max_element(r0.rho.begin(), r0.rho.end());
    for (size_t i = 1; i < rows.size(); ++i) {
      const double u = r0.offset * std::sqrt(kMu0 / (4.0 * rhoMax * rows[i].time));
      if (u < 0.008) continue;
      EXPECT_NEAR(fc.AllTimeRho[i] / rows[i].alltime, 1.0, 0.02) << "t " << rows[i].time;
      EXPECT_EQ(rec_.Synthetics(static_cast<int32_t>(i + 1), 3), fc.AllTimeRho[i]);
    }
  }
}

// Half-spaces over the offsets, resistivities and first times the pages
// accept, as one layer (the closed form itself) and as two layers of one
// resistivity (through both transforms), against the closed form in double
// precision with the exact error function.
TEST_F(ForwardReference, HalfSpacesMatchTheClosedForm) {
  struct Case {
    std::vector<float> rho, thick;
    double tol;
  };
  for (float r : {100.0f, 1000.0f, 10000.0f}) {
    for (float rho : {0.1f, 10.0f, 1000.0f, 10000.0f}) {
      const Case cases[] = {{{rho}, {}, 1.0e-5}, {{rho, rho}, {0.3f * r}, 1.0e-2}};
      for (const Case& c : cases) {
        SCOPED_TRACE("r " + std::to_string(r) + " rho " + std::to_string(rho) + " layers " +
                     std::to_string(c.rho.size()) + " top " + std::to_string(c.rho[0]));
        Compute(c.rho, c.thick, 3, 1, r, 60.0f, 1.0e-5f, 10.0f);
        const ForwardCommonRecord& fc = ForwardCommon();
        for (int32_t i = 0; i < fc.NTimes; ++i) {
          const double t = fc.Times[static_cast<size_t>(i)];
          const double exact = HalfSpaceHzRate(rho, r, std::sin(60.0 * 3.141592653589793 / 180.0), t);
          if (c.rho.size() > 1 && r * std::sqrt(kMu0 / (4.0 * rho * t)) > 100.0) {
            EXPECT_EQ(fc.Response[static_cast<size_t>(i)], 1.0e20f);  // beyond the wavenumber grid
            continue;
          }
          EXPECT_NEAR(fc.Response[static_cast<size_t>(i)] / exact, 1.0, c.tol) << "t " << t << " u " << r * std::sqrt(kMu0 / (4.0 * rho * t));
        }
      }
    }
  }
}

}  // namespace
