#pragma once

#include <vector>

#include "fileops/priority_area.h"
#include "layers/layer_settings.h"

// One file action of the layer plan under given settings.
struct PlannedAction {
    PriorityArea area;
    const char* name;
    bool enable;  // copy from Cache to Scenery; else delete from Scenery
};

// The plan's 21 actions under the settings, in the order an apply takes
// them (ApplyLayerPlan walks the same rows).
std::vector<PlannedAction> PlannedActions(const LayerSettings& settings);
