#include "toolkit/hardcopy/ImageFiles.h"

// Stand-in: no image format is read yet; completed with the image-file reading.
void YYImageFileToDC(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                     int32_t, int32_t, int32_t& status, int32_t& error, std::string_view) {
  status = 27;
  error = 0;
}

#include "toolkit/core/ErrorReporter.h"

// Stand-in: no image format is read yet; completed with the image-file reading.
void IGrLoadImageData(std::string_view, std::span<int32_t>, int32_t, int32_t) {
  YYERRREP(27, "IGrLoadImageData");
}
