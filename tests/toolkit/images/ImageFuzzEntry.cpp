// A libFuzzer entry for the readers of untrusted image and graphics files
// (built only with -DQUILLON_LIBFUZZER=ON and clang; not part of the test
// runs). The first byte chooses the reader, the rest is the file.
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/hardcopy/FileProbe.h"
#include "toolkit/hardcopy/ImageFiles.h"
#include "toolkit/hardcopy/WmfDriver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const std::string path = "/tmp/quillon-fuzz-" + std::to_string(::getpid());
  ::unlink(path.c_str());
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);
  }
  ErrorState().ReportMode = 0;
  switch (data[0] % 5) {
    case 0: {
      std::vector<int32_t> pixels(64 * 64);
      IGrLoadImageData(path, pixels, 64, 64);
      break;
    }
    case 1: {
      std::array<int32_t, 6> info{};
      YYGraphicsFileProbe(path, info, 6);
      int32_t n = 0;
      float aspect = 0.0f;
      YYINFOCGM(path, n, aspect);
      YYCNTPIC(path, n);
      YYCNTHPG(path, n);
      break;
    }
    case 4: {
      // The metafile player: plain, placeable or enhanced, turned.
      static const plat::HBitmap bitmap = plat::createBitmap(64, 64, 32);
      static const plat::Hdc dc = [] {
        const plat::Hdc d = plat::createCompatibleDc(0);
        plat::selectObject(d, bitmap);
        return d;
      }();
      DrawingSurface().Dc = dc;
      int32_t error = 0;
      YYWmfPlay((data[0] >> 3) % 3, 0, 0, 50, 40, 0, 90 * ((data[0] >> 5) % 4), 20, 50, path, error);
      break;
    }
    default: {
      static const plat::HBitmap bitmap = plat::createBitmap(64, 64, 32);
      static const plat::Hdc dc = [] {
        const plat::Hdc d = plat::createCompatibleDc(0);
        plat::selectObject(d, bitmap);
        return d;
      }();
      DrawingSurface().Dc = dc;
      int32_t status = 0, error = 0;
      const int32_t sources[] = {1, 2, 15};
      YYImageFileToDC(sources[data[0] % 3], 0, 0, 0, 40, 40, data[0] & 1, 90 * ((data[0] >> 2) % 4), 40, 40, status,
                      error, path);
      break;
    }
  }
  return 0;
}
