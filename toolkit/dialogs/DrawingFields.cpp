#include "toolkit/dialogs/DrawingFields.h"

// Stand-in: no dialog exists yet; completed with the dialog drawing fields.
int32_t YYCurrentDialog() { return 0; }

// Stand-in: no field can be drawn into yet; completed with the dialog drawing fields.
void YYFieldDrawable(int32_t& field, int32_t& width, int32_t& height) {
  field = -1;
  width = 0;
  height = 0;
}
