// The pages a user reads, computed through the suite pages as a user fills
// them and compared with goldens that were looked at: a two-decade page, a
// suite of twenty members, a zoomed page and the electric field's page, at
// the default window size (half the screen) and maximised.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/Refresh1d.h"
#include "tests/app/AppFixture.h"
#include "tests/support/GoldenPicture.h"

namespace {

using apptest::AppTest;

class PageGolden : public AppTest {
 protected:
  // The type page: component, varied parameter, display; the base model's
  // resistivities and thicknesses; layer 2 varied over `values`.
  void Suite(int32_t component, int32_t display, std::vector<std::string> rho, std::vector<std::string> thick,
             std::vector<std::string> values) {
    const int32_t n = static_cast<int32_t>(values.size());
    std::vector<std::function<void()>> steps;
    steps.push_back([component, display, n] {
      ClickField(component);
      ClickField(1354);  // a layer's resistivity
      ClickField(display);
      WDialogPutInteger(1351, n);
      ClickField(kNext);
    });
    for (size_t i = 0; i < rho.size(); ++i)
      steps.push_back(TypeInto(1364, 2, static_cast<int32_t>(i + 1), rho[i]));
    for (size_t i = 0; i < thick.size(); ++i)
      steps.push_back(TypeInto(1364, 3, static_cast<int32_t>(i + 1), thick[i]));
    steps.push_back([] {
      WDialogPutInteger(1368, 2);
      ClickField(kNext);
    });
    for (size_t i = 0; i < values.size(); ++i)
      steps.push_back(TypeInto(1006, 2, static_cast<int32_t>(i + 1), values[i]));
    steps.push_back(Press(kNext));
    steps.push_back(Press(kNext));
    for (auto& s : steps) Steps({s});
  }
  // The window at the default size, or maximised.
  void Place(bool maximised) {
    std::filesystem::remove(program_ + ".INI");
    if (maximised)
      testsupport::WriteFile(program_ + ".INI", "[Windows]\r\nDialog X=   -1\r\nDialog Y=   -1\r\nWindow X=  320\r\n"
                                                "Window Y=  256\r\nWindow W=  640\r\nWindow H=  512\r\n"
                                                "Window State=    2\r\n");
  }
};

TEST_F(PageGolden, PagesANewcomerReads) {
  struct Case {
    const char* name;
    bool maximised;
    std::function<void()> define;
    std::function<void()> then;
  };
  auto fiveHz = [this] {
    Suite(1008, 1068, {"100", "150", "1000"}, {"10", "100"}, {"1", "3", "10", "30", "100"});
  };
  const std::vector<Case> cases = {
      {"page_two_decades.png", false,
       [this] {
         Suite(1008, 1069, {"100", "50", "100"}, {"100", "100"}, {"30", "50", "100", "200", "300"});
       },
       nullptr},
      {"page_twenty_members.png", false,
       [this] {
         std::vector<std::string> v;
         for (int k = 1; k <= 20; ++k) v.push_back(std::to_string(5 * k));
         Suite(1008, 1068, {"100", "150", "1000"}, {"10", "100"}, v);
       },
       nullptr},
      {"page_twenty_members_maximised.png", true,
       [this] {
         std::vector<std::string> v;
         for (int k = 1; k <= 20; ++k) v.push_back(std::to_string(5 * k));
         Suite(1008, 1068, {"100", "150", "1000"}, {"10", "100"}, v);
       },
       nullptr},
      {"page_zoomed.png", false, fiveHz,
       [this] {
         // A held drag over the curve graph's early times and lower
         // decades, where the labels stand: they keep their size.
         plat::test::mouseMove(At(1.4f, 4.6f));
         Drain();
         plat::test::mouseDown(plat::test::Button::Left, At(1.4f, 4.6f));
         Drain();
         plat::test::advance(400);
         plat::test::mouseMove(At(4.6f, 1.3f));
         Drain();
         plat::test::mouseUp(plat::test::Button::Left, At(4.6f, 1.3f));
         Drain();
       }},
      {"page_field.png", false,
       [this] {
         Suite(1006, 1067, {"100", "10", "1000"}, {"100", "200"}, {"10", "30", "100", "300", "1000"});
       },
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BeginRun();
    Place(c.maximised);
    c.define();
    Start();
    ASSERT_TRUE(SuiteResults().Snapshot.Valid);
    if (c.then) c.then();
    REFRESHSUITE(SuiteBaseModel().Primary, SuiteBaseModel().Partner);
    EXPECT_TRUE(apptest::Notices().empty()) << apptest::Notices().front();
    testsupport::ExpectGoldenPicture(Picture(), std::string("app/") + c.name);
    EndRun();
  }
}

TEST_F(PageGolden, GridLinesLieBeneathTheCurvesAndTheStaircases) {
  // Layer 2 from 100 to 200 m varied over 30 .. 300 ohm-m: the staircases
  // run along the model graph's grid lines at 30, 50, 100, 200 and 300, and
  // at late times every curve runs along the curve graph's line at 100.
  Suite(1008, 1069, {"100", "50", "100"}, {"100", "100"}, {"30", "50", "100", "200", "300"});
  Start();
  ASSERT_TRUE(SuiteResults().Snapshot.Valid);
  Menu(40019);  // no labels over the places looked at
  const plat::Surface off = Picture();
  for (int32_t command : {40008, 40011, 40012, 40013}) Menu(command);
  const plat::Surface on = Picture();
  ASSERT_EQ(on.width, off.width);
  auto column = [&](float x) { return static_cast<int>(std::lround(x / 10.0f * static_cast<float>(on.width))); };
  auto row = [&](float y) { return static_cast<int>(std::lround((8.0f - y) / 8.0f * static_cast<float>(on.height))); };
  auto at = [](const plat::Surface& s, int x, int y) { return s.at(x, y) & 0xFFFFFFu; };
  // The column of a vertical grid line near (x, y), where nothing else is
  // drawn: the first pixel of the row that the grids changed.
  auto gridColumn = [&](int x, int y) {
    for (int dx = -2; dx <= 2; ++dx)
      if (at(on, x + dx, y) != at(off, x + dx, y)) return x + dx;
    return -1;
  };
  const GraphFrame& m = ModelGraphFrame()[0];
  for (float rho : {30.0f, 50.0f, 200.0f, 300.0f}) {
    SCOPED_TRACE(rho);
    const float x = m.OriginX + PLOFX(rho, m);
    const int gx = gridColumn(column(x), row(m.OriginY + PLOFY(55.0f, m)));  // above the varied layer
    ASSERT_GE(gx, 0) << "no grid line at " << rho;
    for (float depth : {125.0f, 155.0f, 185.0f}) {
      const int y = row(m.OriginY + PLOFY(depth, m));
      EXPECT_NE(at(off, gx, y), 0xFFFFFFu) << "no staircase at " << depth << " m";
      EXPECT_EQ(at(on, gx, y), at(off, gx, y)) << "the grid covers the staircase at " << depth << " m";
    }
  }
  const GraphFrame& c = CurveGraphFrame()[0];
  // The rows of the line at 100 ohm-m, after the curves end.
  const int lineX = column(c.OriginX + PLOFX(50.0f, c)), lineY = row(c.OriginY + PLOFY(100.0f, c));
  std::vector<int> rows;
  for (int dy = -2; dy <= 2; ++dy)
    if (at(on, lineX, lineY + dy) != at(off, lineX, lineY + dy)) rows.push_back(lineY + dy);
  ASSERT_FALSE(rows.empty()) << "no grid line at 100 ohm-m";
  for (float t : {2.0f, 5.0f, 10.0f}) {
    SCOPED_TRACE(t);
    const int x = column(c.OriginX + PLOFX(t, c));
    int curves = 0;
    for (int y : rows) {
      if (at(off, x, y) == 0xFFFFFFu) continue;
      ++curves;
      EXPECT_EQ(at(on, x, y), at(off, x, y)) << "the grid covers the curves at " << t << " s";
    }
    EXPECT_GT(curves, 0) << "no curve along the line at " << t << " s";
  }
}

}  // namespace
