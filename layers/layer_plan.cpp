#include "layers/layer_plan.h"

#include <algorithm>
#include <string_view>

namespace {

bool UtAnd(int option, const LayerSettings& s) {
    return option != 0 && s.UT != 0;
}

std::vector<LayerPlanRow> BuildPlan() {
    using A = PriorityArea;
    const bool enable = true;
    const bool disable = false;
    return {
        {[](const LayerSettings& s) { return UtAnd(s.Cemetaries, s); },
         A::Higher,
         {{"1_UT_PC915140_Tvl+.bgl", enable}}},
        {[](const LayerSettings& s) { return UtAnd(s.GolfCourses, s); },
         A::Higher,
         {{"1_UT_PG915140_Tvl+.bgl", enable}}},
        {[](const LayerSettings& s) { return UtAnd(s.Parks, s); },
         A::Higher,
         {{"1_UT_PK915140_Tvl+.bgl", enable}}},
        {[](const LayerSettings& s) { return UtAnd(s.Railroads, s); },
         A::Higher,
         {{"1_UT_RR915140-0077_Tvl+_120x117.bgl", enable},
          {"1_UT_RR915140-0077_Tvl+_120x118.bgl", enable}}},
        {[](const LayerSettings& s) { return UtAnd(s.MinorRoads, s); },
         A::Higher,
         {{"1_UT_RA915140-5077_Tvl+_120x117.bgl", enable},
          {"1_UT_RA915140-5077_Tvl+_120x118.bgl", enable},
          {"1_UT_RA915140-5077_Tvl+_121x117.bgl", enable},
          {"1_UT_RA915140-5077_Tvl+_121x118.bgl", enable}}},
        {[](const LayerSettings& s) { return UtAnd(s.MajorRoads, s); },
         A::Higher,
         {{"1_UT_RM915140-4077_Tvl+_120x117.bgl", enable},
          {"1_UT_RM915140-4077_Tvl+_120x118.bgl", enable},
          {"1_UT_RM915140-4077_Tvl+_121x117.bgl", enable}}},
        // With UT on the exclusion file replaces the package's land/water masks.
        {[](const LayerSettings& s) { return s.UT != 0; },
         A::Lower,
         {{"0_excl_UT-layers_6+8_120-121x117-118.bgl", enable},
          {"TolvaneDEM_LWM2.BGL", disable},
          {"TolvaneDEM_LWM3.BGL", disable}}},
        // The boats file is also part of the ships traffic; row 9 comes after.
        {[](const LayerSettings& s) { return s.Ships != 0; },
         A::Lower,
         {{"Traffic_Harrel_Point_additional.bgl", enable},
          {"Traffic_Harrel_Point.bgl", enable},
          {"Traffic_marrowby_boats.bgl", enable}}},
        {[](const LayerSettings& s) { return s.Boats != 0; },
         A::Lower,
         {{"Traffic_marrowby_boats.bgl", enable}}},
        {[](const LayerSettings& s) { return s.Floats != 0; },
         A::Lower,
         {{"Traffic_Tolvane1_seaplane.bgl", enable}}},
        {[](const LayerSettings& s) { return s.Helos != 0; },
         A::Lower,
         {{"Traffic_Tolvane1_heli.bgl", enable}}},
    };
}

}  // namespace

const std::vector<LayerPlanRow>& LayerPlan() {
    static const std::vector<LayerPlanRow> plan = BuildPlan();
    return plan;
}

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

std::vector<PlannedAction> FinalActions(const LayerSettings& settings) {
    std::vector<PlannedAction> files;
    for (const PlannedAction& action : PlannedActions(settings)) {
        auto same = std::find_if(files.begin(), files.end(), [&](const PlannedAction& file) {
            return file.area == action.area && std::string_view(file.name) == action.name;
        });
        if (same == files.end()) {
            files.push_back(action);
        } else {
            same->enable = action.enable;  // the later action decides
        }
    }
    return files;
}

std::vector<ActionReport> ApplyLayerPlan(const LayerSettings& settings,
                                         const FileActionContext& context) {
    std::vector<ActionReport> reports;
    reports.reserve(21);  // nothing of the plan is left out for want of room later
    const bool higherIsCache = SceneryIsItsCache(context.fs, context.layout, PriorityArea::Higher);
    const bool lowerIsCache = SceneryIsItsCache(context.fs, context.layout, PriorityArea::Lower);
    for (const PlannedAction& action : PlannedActions(settings)) {
        const bool isCache = action.area == PriorityArea::Higher ? higherIsCache : lowerIsCache;
        reports.push_back(
            {action, isCache ? LeaveLayerFile(context, action.area, action.name, action.enable)
                     : action.enable ? EnableLayerFile(context, action.area, action.name)
                                     : DisableLayerFile(context, action.area, action.name)});
    }
    return reports;
}
