#include "layers/planned_actions.h"

#include "layers/layer_plan.h"

std::vector<PlannedAction> PlannedActions(const LayerSettings& settings) {
    std::vector<PlannedAction> actions;
    for (const LayerPlanRow& row : LayerPlan()) {
        const bool condition = row.condition(settings);
        for (const LayerPlanFile& file : row.files) {
            actions.push_back({row.area, file.name, file.enableWhenTrue == condition});
        }
    }
    return actions;
}
