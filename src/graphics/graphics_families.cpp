// Every family of graphics functions registers its handlers here.
#include "graphics_executor.h"

namespace tesmora {

void registerGraphicsFamilies(GraphicsRegistry &registry)
{
    registerCoordinateFunctions(registry);
    registerDrawingFunctions(registry);
    registerPointFunctions(registry);
    registerIndicatorFunctions(registry);
    registerPictogramFunctions(registry);
}

} // namespace tesmora
