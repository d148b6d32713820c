#pragma once

#include <vector>

#include "fileops/file_actions.h"
#include "layers/layer_settings.h"
#include "paths/install_layout.h"

// One layer file of a plan row and what happens to it when the row's
// condition holds; the opposite happens when it does not.
struct LayerPlanFile {
    const char* name;
    bool enableWhenTrue;
};

// One row of the plan: a condition over the settings, the area its files
// belong to, and its files in order.
struct LayerPlanRow {
    bool (*condition)(const LayerSettings&);
    PriorityArea area;
    std::vector<LayerPlanFile> files;
};

// The fixed plan: 11 rows, 21 file actions, in the order they are applied.
const std::vector<LayerPlanRow>& LayerPlan();

// One file action of the plan under given settings.
struct PlannedAction {
    PriorityArea area;
    const char* name;
    bool enable;  // copy from Cache to Scenery; else delete from Scenery
};

// The plan's 21 actions under the settings, in the order an apply takes
// them.
std::vector<PlannedAction> PlannedActions(const LayerSettings& settings);

// The action each of the plan's 20 files ends with, in the order of its
// first action: of two actions on one file the later decides (the boats
// file: the ships row, then the boats row).
std::vector<PlannedAction> FinalActions(const LayerSettings& settings);

// An action of the plan and what became of it.
struct ActionReport {
    PlannedAction action;
    ActionOutcome outcome;
};

// Runs every action of the plan in order, each logging one line. A failed
// action never stops the ones after it. An area whose Scenery folder is
// its Cache folder is left alone: each of its actions fails.
std::vector<ActionReport> ApplyLayerPlan(const LayerSettings& settings,
                                         const FileActionContext& context);
