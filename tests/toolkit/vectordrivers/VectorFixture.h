// Runs a plot-file driver through the hardcopy manager as the Print road
// does (driver selected, graphics state set up for the hardcopy alone, a
// hardcopy started into a file, drawn, stopped) and hands back the file.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"
#include "tests/support/ScratchDir.h"
#include "tests/toolkit/graphics/RecordingDriver.h"
#include "tests/toolkit/graphics/TestPage.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyManager.h"
#include "toolkit/hardcopy/HardcopyOptions.h"

namespace vdtest {

inline constexpr int32_t kPageWidth = 320, kPageHeight = 240;

class VectorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Selects the driver (its defaults), lets `options` change them, then
  // plots `draw` into `name` in the scratch directory and returns the
  // file's bytes.
  std::string Plot(int32_t driver, const std::function<void()>& draw,
                   const std::function<void()>& options = {}, const std::string& name = "plot.out",
                   std::optional<std::string> title = std::nullopt);
  // Starts a hardcopy the same way and leaves it open (ops may then be
  // sent by hand); Finish stops it and returns the file.
  void Start(int32_t driver, const std::function<void()>& options = {}, const std::string& name = "plot.out",
             std::optional<std::string> title = std::nullopt);
  std::string Finish();
  std::string Path() const { return scratch_ / name_; }
  // Sends one operation through the hardcopy route.
  static void Op(int32_t op, int32_t qualifier = 0);
  testsupport::ScratchDir scratch_;
  std::string name_ = "plot.out";
};

std::string ReadBytes(const std::string& path);
// The file's lines without their CR LF ends.
std::vector<std::string> Lines(const std::string& bytes);
// Index of the first line equal to `line` at or after `from` (-1 none).
int IndexOf(const std::vector<std::string>& lines, const std::string& line, size_t from = 0);
int CountOf(const std::vector<std::string>& lines, const std::string& line);
// Runs a command line; its exit status (-1 when it could not run).
int RunCommand(const std::string& command);
// True when the program is on PATH.
bool Have(const std::string& program);
// Reads a DXF file with ezdxf as R12 and prints the entity types in order
// (one word each), failing on audit errors.
inline constexpr const char* kDxfReader = R"(import sys
import ezdxf
from ezdxf import recover
doc, auditor = recover.readfile(sys.argv[1])
if doc.dxfversion != 'AC1009':
    print('version', doc.dxfversion); sys.exit(2)
if auditor.has_errors:
    for e in auditor.errors: print('error', e.message)
    sys.exit(3)
print(' '.join(e.dxftype() for e in doc.modelspace()))
)";
// Draws a DXF file's model space with ezdxf's drawing add-on (matplotlib)
// into a PNG of 640 x 480 pixels on white.
inline constexpr const char* kDxfDrawing = R"(import sys
import matplotlib
matplotlib.use('Agg')
import ezdxf
from ezdxf.addons.drawing.matplotlib import qsave
doc = ezdxf.readfile(sys.argv[1])
qsave(doc.modelspace(), sys.argv[2], bg='#FFFFFF', size_inches=(8, 6), dpi=80)
)";

// The independent readers of a plot file in `format` ("hpgl", "ps",
// "eps", "svg", "dxf", "cgm", "pdf", "wmf", "emf", "png", "bmp", "pcx",
// and the raster printer's streams "escp" (dot-matrix) and "pcl"):
// empty when every one of them takes the file, else what they said. With
// `png` given, the formats that have a renderer draw the page there.
// Readers that are not installed are passed over.
std::string ReadersVerdict(const std::string& format, const std::string& path, const std::string& png = "");

// Reads a PNG of RGB, RGBA or 8-bit colour-mapped pixels.
bool ReadAnyPng(const std::string& path, plat::Surface& out);

// Compares a PNG rendered by an outside reader with its golden in
// tests/golden/ allowing `tolerance` of the pixels to differ (colour
// channels further apart than 48), or writes the golden when
// QUILLON_UPDATE_GOLDENS is set.
void ExpectRenderedGolden(const std::string& png, const std::string& golden, double tolerance = 0.01);

}  // namespace vdtest
