#include "layers/layer_settings.h"

LayerSettings DefaultLayerSettings() {
    LayerSettings settings;
    settings.MajorRoads = 1;
    settings.Helos = 1;
    settings.Ships = 1;
    settings.Floats = 1;
    settings.Boats = 1;
    return settings;
}
