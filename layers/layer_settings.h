#pragma once

// The user's eleven choices, each named after its settings key. 0 is off,
// anything else on.
struct LayerSettings {
    int UT = 0;
    int GolfCourses = 0;
    int Parks = 0;
    int MinorRoads = 0;
    int MajorRoads = 0;
    int Cemetaries = 0;
    int Railroads = 0;
    int Helos = 0;
    int Ships = 0;
    int Floats = 0;
    int Boats = 0;
};

// The choices of a first start: UT off, major roads on, all four traffic
// options on, everything else off.
LayerSettings DefaultLayerSettings();
