#include "toolkit/hardcopy/ImageFiles.h"

// Stand-in: no image is drawn into a context yet.
void YYImageFileToDC(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                     int32_t, int32_t, int32_t& status, int32_t& error, std::string_view) {
  status = 27;
  error = 0;
}
