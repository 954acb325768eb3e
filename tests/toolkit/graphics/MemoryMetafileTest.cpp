// Memory metafiles: what the recorder writes, read back by the CGM lister
// of tests/support (written from the standard), byte by byte where the
// encoding is the point. The header's listing is the golden
// tests/golden/cgm_memory_header.txt; renew it with QUILLON_UPDATE_GOLDENS=1
// and read it before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "RecordingDriver.h"
#include "TestPage.h"
#include "tests/support/CgmLister.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/CgmElements.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/MetafileTable.h"
#include "toolkit/graphics/Shapes.h"

namespace {

namespace cgm = testsupport::cgm;

// What a creator of memory metafiles does: the entry's size in points, its
// buffer, selected as the drawable, then the header.
void NewMemoryMetafile(int32_t number, int32_t widthPoints, int32_t heightPoints, int32_t capacity) {
  MetafileEntry& e = MetafileTable().Entry[static_cast<size_t>(number)];
  e.WidthPoints = widthPoints;
  e.HeightPoints = heightPoints;
  e.Type = 6;
  e.InUse = 1;
  e.Capacity = capacity;
  e.Buffer.assign(static_cast<size_t>(capacity), 0);
  IGrSelect(kDrawableMetafile, number);
  YYGrScreenOp(kOpMetafileHeader);
}

std::vector<uint8_t> Bytes(int32_t number) {
  const MetafileEntry& e = MetafileTable().Entry[static_cast<size_t>(number)];
  return {e.Buffer.begin(), e.Buffer.begin() + e.Used};
}

// The elements recorded after the first `skip`.
std::vector<cgm::Element> ElementsAfter(int32_t number, size_t skip) {
  const cgm::Metafile m = cgm::Decode(Bytes(number));
  EXPECT_EQ(m.error, "");
  if (m.elements.size() < skip) return {};
  return {m.elements.begin() + static_cast<long>(skip), m.elements.end()};
}

std::string Hex(const std::vector<uint8_t>& b, size_t from, size_t n) {
  std::string s;
  char buf[4];
  for (size_t i = from; i < from + n && i < b.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02X", b[i]);
    s += (s.empty() ? "" : " ") + std::string(buf);
  }
  return s;
}

// A listing compared with its golden in tests/golden/, or written there
// when QUILLON_UPDATE_GOLDENS is set.
void ExpectGoldenListing(const std::string& listing, const std::string& name) {
  const std::string path = std::string(QUILLON_GOLDEN_DIR) + "/" + name;
  if (std::getenv("QUILLON_UPDATE_GOLDENS") != nullptr) std::ofstream(path, std::ios::binary) << listing;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream golden;
  golden << in.rdbuf();
  EXPECT_EQ(listing, golden.str()) << "differs from " << path;
  EXPECT_EQ(listing.find("ERROR"), std::string::npos);
}

class MemoryMetafileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GraphicsTestSetUp(640, 480);
    NewMemoryMetafile(3, 612, 792, 4096);
    headerElements_ = cgm::Decode(Bytes(3)).elements.size();
  }
  size_t headerElements_ = 0;
};

TEST_F(MemoryMetafileTest, HeaderIsTheGoldenListing) {
  const std::vector<uint8_t> b = Bytes(3);
  // BEGIN METAFILE: class 0, id 1, 13 bytes: "QVZ CGM File" and a pad byte.
  EXPECT_EQ(Hex(b, 0, 4), "00 2D 0C 51");
  EXPECT_EQ(b[15], 0);
  ExpectGoldenListing(cgm::List(b), "cgm_memory_header.txt");
}

// The graphics tests' page and a trapezium recorded whole: the golden
// cgm_memory_page.txt, read against the recorder's element table when it
// was made (clip rectangle of the area, attributes only on a change, the
// stroke text as polylines, device text as restricted text, the filled
// polygon as triangles, the clipped outline, the end of the picture).
TEST_F(MemoryMetafileTest, RecordedPageIsTheGoldenListing) {
  MetafileTable().Entry[3].Capacity = 16384;
  MetafileTable().Entry[3].Buffer.resize(16384);
  DrawTestPage();
  IGrFillStyle(4, 1, 1);
  IGrTrapezium(10, 10, 30, 20, 4, 1);
  YYGrScreenOp(kOpEnd);
  EXPECT_EQ(CountReports(1062), 0);
  ExpectGoldenListing(cgm::List(Bytes(3)), "cgm_memory_page.txt");
}

TEST_F(MemoryMetafileTest, VdcExtentFromThePageInPoints) {
  struct Case {
    int32_t w, h, vdcW, vdcH;
  } cases[] = {{612, 792, 5100, 6600}, {5000, 1000, 32767, 6553}, {1000, 5000, 6553, 32767}};
  for (const Case& c : cases) {
    NewMemoryMetafile(5, c.w, c.h, 4096);
    const MetafileEntry& e = MetafileTable().Entry[5];
    EXPECT_EQ(e.DrawableWidth, c.vdcW) << c.w << " x " << c.h;
    EXPECT_EQ(e.DrawableHeight, c.vdcH);
    // The drawable takes the VDC size.
    EXPECT_EQ(GraphicsState().DrawableWidth, c.vdcW);
    const std::string listing = cgm::List(Bytes(5));
    EXPECT_NE(listing.find("VDC EXTENT (2,6) len=8 (0,0) (" + std::to_string(c.vdcW) + "," + std::to_string(c.vdcH) + ")"),
              std::string::npos)
        << listing;
    WMetafileDestroy(5);
  }
}

TEST_F(MemoryMetafileTest, TwoLinesOfOneColourGiveOneLineColour) {
  IGrColourN(159);
  IGrMoveToPoint(0.1f, 0.1f);
  IGrLineToPoint(0.9f, 0.1f);
  IGrLineToPoint(0.9f, 0.9f);
  const std::vector<cgm::Element> e = ElementsAfter(3, headerElements_);
  ASSERT_EQ(e.size(), 3u) << cgm::List(Bytes(3));
  EXPECT_EQ(cgm::Name(e[0].cls, e[0].id), "LINE COLOUR");
  EXPECT_EQ(e[0].params.size(), 4u);
  for (int i : {1, 2}) {
    EXPECT_EQ(cgm::Name(e[static_cast<size_t>(i)].cls, e[static_cast<size_t>(i)].id), "POLYLINE");
    EXPECT_EQ(e[static_cast<size_t>(i)].params.size(), 8u);  // 2 + 8 bytes with the header
  }
  // A red line colour: red, green, blue and one zero byte.
  int32_t r = 0, g = 0, b = 0;
  YYRgbSplit(GraphicsState().ColourRgb, &r, &g, &b);
  EXPECT_EQ(e[0].params, (std::vector<uint8_t>{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b), 0}));
}

TEST_F(MemoryMetafileTest, TenVertexPolygonIsOneLongElement) {
  DriverParamsRecord& p = DriverParams();
  p.OpCount = 10;
  p.PointListX.assign(10, 0.0f);
  p.PointListY.assign(10, 0.0f);
  for (int i = 0; i < 10; ++i) {
    p.PointListX[static_cast<size_t>(i)] = 100.0f + 10.0f * static_cast<float>(i);
    p.PointListY[static_cast<size_t>(i)] = (i % 2) ? -1.0f : 50.0f;
  }
  const int32_t before = MetafileTable().Entry[3].Used;
  YYGrScreenOp(kOpPolygon);
  const std::vector<uint8_t> b = Bytes(3);
  // FILL COLOUR (first time), INTERIOR STYLE, then the polygon.
  const std::vector<cgm::Element> e = ElementsAfter(3, headerElements_);
  ASSERT_EQ(e.size(), 3u);
  const size_t at = e[2].offset;
  EXPECT_GT(at, static_cast<size_t>(before));
  EXPECT_EQ(Hex(b, at, 4), "40 FF 00 28");
  // The second vertex (110, -1): -1 is FF FF.
  EXPECT_EQ(Hex(b, at + 8, 4), "00 6E FF FF");
  EXPECT_EQ(b.size(), at + 4 + 40);
}

TEST(CgmElementsTest, StringsAreCountedAndPadded) {
  struct Case {
    size_t length, bytes;  // characters; bytes of the string with its pad
  } cases[] = {{12, 14}, {17, 18}, {0, 2}, {254, 256}};
  for (const Case& c : cases) {
    CgmElement e;
    YYCgmElementBegin(e, 7, 1);
    YYCgmString(e, std::string(c.length, 'x'));
    const std::vector<uint8_t> b = YYCgmEncode(e);
    const size_t header = c.length + 1 >= 31 ? 4 : 2;
    EXPECT_EQ(b.size() - header, c.bytes) << c.length;
    EXPECT_EQ(b[header], c.length);
  }
  // 255 characters or more: count byte 255, then a 16-bit length.
  CgmElement e;
  YYCgmElementBegin(e, 7, 1);
  YYCgmString(e, std::string(300, 'y'));
  const std::vector<uint8_t> b = YYCgmEncode(e);
  EXPECT_EQ(Hex(b, 0, 7), "70 3F 01 2F FF 01 2C");
  const cgm::Metafile m = cgm::Decode(b);
  ASSERT_EQ(m.error, "");
  cgm::ParamReader r(m.elements[0].params);
  EXPECT_EQ(r.string(), std::string(300, 'y'));
}

TEST(CgmElementsTest, NegativeIntegersAndLongElementsInPartitions) {
  CgmElement e;
  YYCgmElementBegin(e, 4, 1, true);
  for (int i = 0; i < 9000; ++i) YYCgmPoint(e, -1, i);
  const std::vector<uint8_t> b = YYCgmEncode(e);
  EXPECT_EQ(Hex(b, 0, 8), "40 3F FF FE FF FF 00 00");  // more follows, 32766 bytes
  const cgm::Metafile m = cgm::Decode(b);
  ASSERT_EQ(m.error, "");
  ASSERT_EQ(m.elements.size(), 1u);
  EXPECT_EQ(m.elements[0].partitions, (std::vector<size_t>{32766, 36000 - 32766}));
  cgm::ParamReader r(m.elements[0].params);
  for (int i = 0; i < 9000; ++i) ASSERT_EQ(r.point(), "(-1," + std::to_string(i) + ")");
}

TEST_F(MemoryMetafileTest, LongPolylineAndLongTextStayReadable) {
  NewMemoryMetafile(4, 612, 792, 100000);
  const size_t header = cgm::Decode(Bytes(4)).elements.size();
  DriverParamsRecord& p = DriverParams();
  p.OpCount = 9000;
  p.PointListX.assign(9000, 5.0f);
  p.PointListY.assign(9000, 7.0f);
  YYGrScreenOp(kOpPolyline);
  p.OpText = std::string(kOpTextSize, 'T');
  p.PixelX[1] = kOpTextSize;
  YYGrScreenOp(kOpText);
  EXPECT_EQ(CountReports(1062), 0);
  const cgm::Metafile m = cgm::Decode(Bytes(4));
  EXPECT_GT(m.elements.size(), header);
  ASSERT_EQ(m.error, "");
  bool polyline = false, text = false;
  for (const cgm::Element& e : m.elements) {
    if (cgm::Name(e.cls, e.id) == "POLYLINE") polyline = e.partitions.size() == 2 && e.params.size() == 36000;
    if (cgm::Name(e.cls, e.id) == "RESTRICTED TEXT") {
      cgm::ParamReader r(e.params);
      r.vdc();
      r.vdc();
      r.point();
      r.integer();
      text = r.string() == std::string(kOpTextSize, 'T') && e.longForm;
    }
  }
  EXPECT_TRUE(polyline);
  EXPECT_TRUE(text) << cgm::List(Bytes(4));
}

TEST_F(MemoryMetafileTest, AppenderIsAllOrNothing) {
  MetafileEntry& e = MetafileTable().Entry[3];
  e.Capacity = e.Used + 5;
  const std::vector<uint8_t> before = Bytes(3);
  const uint8_t ten[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  ClearErrors();
  YYGCGM1(ten, 10);
  EXPECT_EQ(CountReports(1062), 1);
  EXPECT_EQ(Bytes(3), before);
  YYGCGM1(ten, 5);
  EXPECT_EQ(e.Used, e.Capacity);
}

// A full buffer stops the recording at a whole element, says so once, and
// the picture still ends: the metafile stays readable.
TEST_F(MemoryMetafileTest, FullBufferLatchesAndThePictureStillEnds) {
  MetafileEntry& e = MetafileTable().Entry[3];
  e.Capacity = e.Used + 4 + 10 + 10 + 6 + 3;  // the end, line colour, two lines, a little more
  ClearErrors();
  IGrColourN(31);
  for (int i = 0; i < 20; ++i) {
    IGrMoveToPoint(0.1f, 0.05f * static_cast<float>(i));
    IGrLineToPoint(0.9f, 0.05f * static_cast<float>(i));
  }
  EXPECT_EQ(CountReports(1062), 1);
  YYGrScreenOp(kOpEnd);
  YYGrScreenOp(kOpEnd);  // nothing follows the end
  IGrLineToPoint(0.5f, 0.5f);
  const cgm::Metafile m = cgm::Decode(Bytes(3));
  ASSERT_EQ(m.error, "");
  const size_t n = m.elements.size();
  ASSERT_GE(n, headerElements_ + 4);
  EXPECT_EQ(cgm::Name(m.elements[n - 2].cls, m.elements[n - 2].id), "END PICTURE");
  EXPECT_EQ(cgm::Name(m.elements[n - 1].cls, m.elements[n - 1].id), "END METAFILE");
  EXPECT_EQ(cgm::Name(m.elements[n - 3].cls, m.elements[n - 3].id), "POLYLINE");
  EXPECT_EQ(n - headerElements_, 5u);
  EXPECT_LE(e.Used, e.Capacity);
}

TEST_F(MemoryMetafileTest, ShadedTrianglesAreInterpolatedInteriors) {
  DriverParamsRecord& p = DriverParams();
  p.ShadedVertexCount = 3;
  p.PointListX = {10.0f, 60.0f, 30.0f};
  p.PointListY = {10.0f, 20.0f, 70.0f};
  p.ShadedColour[0] = 0x0000FF;
  p.ShadedColour[1] = 0x00FF00;
  p.ShadedColour[2] = 0xFF0000;
  YYGrScreenOp(kOpShadedPolygon);
  const std::string listing = cgm::List(Bytes(3));
  EXPECT_NE(listing.find("FILL REFERENCE POINT (5,31) len=4 (10,10)"), std::string::npos) << listing;
  EXPECT_NE(listing.find("INTERPOLATED INTERIOR (5,43) len=22 3 (50,10) (20,60) 0 [255 0 0] [0 255 0] [0 0 255] +00"),
            std::string::npos)
      << listing;
  EXPECT_NE(listing.find("INTERIOR STYLE (5,22) len=2 6"), std::string::npos);
  EXPECT_NE(listing.find("POLYGON (4,7) len=12 (10,10) (60,20) (30,70)"), std::string::npos);
}

TEST_F(MemoryMetafileTest, CellArrayRowsAreRunsInPartitions) {
  // 3 x 2 pixels, top row first: red red blue / green green green.
  const std::vector<int32_t> px = {0x0000FF, 0x0000FF, 0xFF0000, 0x00FF00, 0x00FF00, 0x00FF00};
  const std::vector<uint8_t> b = YYCgmCellArray(px, 3, 2, 0);
  const cgm::Metafile m = cgm::Decode(b);
  ASSERT_EQ(m.error, "");
  ASSERT_EQ(m.elements.size(), 1u);
  // The 20-byte first partition, then one per row (padded to even length).
  EXPECT_EQ(m.elements[0].partitions, (std::vector<size_t>{20, 10, 6}));
  EXPECT_EQ(Hex(b, 2, 2), "80 14");
  const std::string rows = Hex(m.elements[0].params, 20, 16);
  EXPECT_EQ(rows, "00 02 FF 00 00 00 01 00 00 FF 00 03 00 FF 00 00");
  // At 180 degrees the first row read is the last pixel backwards.
  const std::vector<uint8_t> turned = YYCgmCellArray(px, 3, 2, 180);
  const cgm::Metafile t = cgm::Decode(turned);
  EXPECT_EQ(Hex(t.elements[0].params, 20, 6), "00 03 00 FF 00 00");
}

// An image that cannot be read leaves the metafile as it was and says why
// in the op's words without a report; a size that is no image is refused
// before anything is read.
TEST_F(MemoryMetafileTest, ImageThatCannotBeReadLeavesTheMetafile) {
  DriverParamsRecord& p = DriverParams();
  const std::vector<uint8_t> before = Bytes(3);
  struct Case {
    int32_t nx, ny;
    bool read;  // the file is tried
  } cases[] = {{4, 3, true}, {0, 3, false}, {4, -1, false}, {100000, 100000, false}};
  for (const Case& c : cases) {
    ClearErrors();
    p.PixelX[2] = c.nx;
    p.PixelY[2] = c.ny;
    YYPadField(p.OpText, "no such picture.png");
    YYGrScreenOp(kOpImage);
    if (c.read) {
      EXPECT_NE(p.OpQualifier, 0);
      EXPECT_EQ(p.OpQualifier, LastErrorCode());
    } else {
      EXPECT_EQ(p.OpQualifier, 1066) << c.nx << " x " << c.ny;
    }
    EXPECT_TRUE(ErrorReports().empty()) << ErrorReports().front();
  }
  EXPECT_EQ(Bytes(3), before);
}

TEST_F(MemoryMetafileTest, DestroyFreesEntriesAndRefusesBadNumbers) {
  ClearErrors();
  WMetafileDestroy(0);
  WMetafileDestroy(21);
  WMetafileDestroy(9);  // free
  EXPECT_EQ(CountReports(1060), 3);
  WMetafileDestroy(3);
  EXPECT_EQ(MetafileTable().Entry[3].Type, 0);
  EXPECT_TRUE(MetafileTable().Entry[3].Buffer.empty());
  EXPECT_EQ(CountReports(1060), 3);
}

}  // namespace
