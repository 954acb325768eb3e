#include "platform/win/PaintHooks.h"

namespace plat {

// Stand-in: the drawing layer fills the paint hooks here (completed by the drawing-layer work).
void installDrawingHooks() {}

}  // namespace plat
