#include "app/config_dialog.h"

#include <array>
#include <exception>

#include "fileops/file_actions.h"
#include "layers/layer_plan.h"
#include "layers/settings_file.h"
#include "platform/message_box.h"
#include "res/resource.h"
#include "scenerycfg/conflict_pass.h"

namespace {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// The check boxes in the order of their data exchange, with their fields.
struct CheckBinding {
    int controlId;
    int LayerSettings::*field;
};

constexpr std::array<CheckBinding, 11> kChecks = {{
    {IDC_GOLF_COURSES, &LayerSettings::GolfCourses},
    {IDC_PARKS, &LayerSettings::Parks},
    {IDC_MINOR_ROADS, &LayerSettings::MinorRoads},
    {IDC_MAJOR_ROADS, &LayerSettings::MajorRoads},
    {IDC_CEMETARIES, &LayerSettings::Cemetaries},
    {IDC_HELICOPTERS, &LayerSettings::Helos},
    {IDC_UT, &LayerSettings::UT},
    {IDC_CRUISE_SHIP, &LayerSettings::Ships},
    {IDC_FLOAT_PLANES, &LayerSettings::Floats},
    {IDC_BOATS, &LayerSettings::Boats},
    {IDC_RAILROADS, &LayerSettings::Railroads},
}};

// The six Ultimate Terrain sub-options that follow the master box.
constexpr std::array<int, 6> kUtSubOptions = {IDC_GOLF_COURSES, IDC_PARKS,      IDC_MINOR_ROADS,
                                              IDC_MAJOR_ROADS,  IDC_CEMETARIES, IDC_RAILROADS};

}  // namespace

CConfigDlg::CConfigDlg(ConfigDialogWindow& window, std::string exePath)
    : window_(window), exePath_(std::move(exePath)) {}

void CConfigDlg::UpdateData(bool fromControls) {
    for (const CheckBinding& check : kChecks) {
        if (fromControls) {
            m_settings.*check.field = window_.GetCheck(check.controlId);
        } else {
            // A loaded value other than 0 shows as a tick.
            window_.SetCheck(check.controlId, m_settings.*check.field != 0);
        }
    }
}

void CConfigDlg::ApplyEnableRule() {
    for (int id : kUtSubOptions) {
        window_.EnableControl(id, m_settings.UT != 0);
    }
}

// The handlers are where the window calls into the core: no exception may
// pass them. The operations they call contain their own failures; what is
// left (memory running out in the dialog's own steps) stops the handler's
// sequence, and the dialog stays usable or ends as the sequence would.
bool CConfigDlg::OnInitDialog() {
    try {
        return Initialise();
    } catch (const std::exception&) {
        return true;
    }
}

bool CConfigDlg::Initialise() {
    UpdateData(false);
    if (window_.HasSystemMenu()) {
        std::string about = window_.LoadResourceString(IDS_ABOUTBOX);
        if (!about.empty()) {
            window_.AppendSystemMenuSeparator();
            window_.AppendSystemMenuItem(IDM_ABOUTBOX, about);
        }
    }
    window_.SetBigIcon();
    window_.SetSmallIcon();

    std::string error;
    if (!DeriveInstallLayout(exePath_, &m_layout, &error)) {
        window_.ShowMessage(error, "TolvaneConfig", platform::kMbIconHand);
        window_.EndDialog(kIdCancel);
        return false;
    }
    auto show = [this](const std::string& text, const std::string& caption, unsigned style) {
        window_.ShowMessage(text, caption, style);
    };
    if (m_nUninstall == 1) {
        ConflictRestore(m_layout.fsRoot, show);
        window_.EndDialog(1);
        return false;
    }
    m_settings = LoadLayerSettings(m_layout.iniPath);
    ApplyEnableRule();
    UpdateData(false);
    ConflictScan(m_layout.fsRoot, show);
    return true;
}

void CConfigDlg::OnUtClicked() {
    UpdateData(true);
    ApplyEnableRule();
}

void CConfigDlg::OnOK() {
    try {
        UpdateData(true);
        SaveLayerSettings(m_layout.iniPath, m_settings);
        ClearActivityLog(m_log);
        ApplyLayerPlan(m_settings, FileActionContext{m_layout, m_log, window_.Handle()});
        WriteActivityLog(m_log, m_layout.logPath);
        UpdateData(true);
    } catch (const std::exception&) {
    }
    window_.EndDialog(kIdOk);
}

void CConfigDlg::OnCancel() {
    window_.EndDialog(kIdCancel);
}

void CConfigDlg::OnSysCommand(unsigned id, long) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        window_.RunAboutBox();
    } else {
        window_.DefaultHandling();
    }
}

void CConfigDlg::OnPaint() {
    if (window_.IsIconic()) {
        window_.PaintMinimisedIcon();
    } else {
        window_.DefaultHandling();
    }
}

void* CConfigDlg::OnQueryDragIcon() {
    return window_.Icon();
}

std::pair<int, int> CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth,
                                      int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
