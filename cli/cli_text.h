#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "host/host_names.h"
#include "paths/install_layout.h"
#include "scenerycfg/conflict_pass.h"
#include "survey/install_status.h"

// Small texts the command-line program's printers share.

inline const char* AreaName(PriorityArea area) {
    return area == PriorityArea::Higher ? "Higher" : "Lower";
}

// The text's lines, each without its "\n"; a last line without one counts
// too, nothing after a last "\n" does.
inline std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// The simulator's processes as the command line names them: "fs9.exe,
// process 12" or "fs9.exe, processes 12, 34".
inline std::string SimulatorProcessesText(const std::vector<unsigned long>& processes) {
    std::string text =
        std::string(kSimulatorProgram) + (processes.size() == 1 ? ", process " : ", processes ");
    for (size_t i = 0; i < processes.size(); ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(processes[i]);
    }
    return text;
}

// A rename for JSON: its texts in UTF-8.
inline nlohmann::json RenameJson(host::HostNames& names, const RenameReport& rename) {
    return {{"from", names.Utf8Of(rename.from)},
            {"to", names.Utf8Of(rename.to)},
            {"renamed", rename.renamed},
            {"reason", names.Utf8Of(rename.reason)}};
}
