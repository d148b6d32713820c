#include "app/config_dialog.h"

#include <array>

#include "layers/apply.h"
#include "layers/settings_file.h"
#include "platform/memory.h"
#include "platform/shell.h"
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

CConfigDlg::CConfigDlg(ConfigDialogWindow& window, platform::FileSystem& fs, std::string exePath)
    : m_window(window), m_fileSystem(fs), m_strExePath(std::move(exePath)) {}

void CConfigDlg::UpdateData(bool fromControls) {
    for (const CheckBinding& check : kChecks) {
        if (fromControls) {
            m_settings.*check.field = m_window.GetCheck(check.controlId);
        } else {
            // A loaded value other than 0 shows as a tick.
            m_window.SetCheck(check.controlId, m_settings.*check.field != 0);
        }
    }
}

void CConfigDlg::ApplyEnableRule() {
    for (int id : kUtSubOptions) {
        m_window.EnableControl(id, m_settings.UT != 0);
    }
}

// The handlers are where the window calls into the core: no exception may
// pass them. The operations they call contain their own failures; what is
// left is memory running out in the dialog's own steps. A dialog that could
// not finish opening ends at once, before an apply could save settings it
// never loaded; an apply that fails part-way still ends the dialog.
bool CConfigDlg::OnInitDialog() {
    bool opened = false;
    if (platform::WithinMemory([&] { opened = Initialise(); })) {
        return opened;
    }
    platform::WithinMemory([&] { m_window.EndDialog(kIdCancel); });
    return false;
}

bool CConfigDlg::Initialise() {
    // The first exchange shows the constructor's zeros; the second, below,
    // the loaded settings. The framework's dialogs open this way.
    UpdateData(false);
    if (m_window.HasSystemMenu()) {
        std::string about = m_window.LoadResourceString(IDS_ABOUTBOX);
        if (!about.empty()) {
            m_window.AppendSystemMenuSeparator();
            m_window.AppendSystemMenuItem(IDM_ABOUTBOX, about);
        }
    }
    m_window.SetBigIcon();
    m_window.SetSmallIcon();

    std::string error;
    if (!DeriveInstallLayout(m_strExePath, &m_layout, &error, m_fileSystem.AnsiCodePage())) {
        m_window.ShowMessage(error, "TolvaneConfig", platform::kMbIconHand);
        m_window.EndDialog(kIdCancel);
        return false;
    }
    auto show = [this](const std::string& text, const std::string& caption, unsigned style) {
        m_window.ShowMessage(text, caption, style);
    };
    if (m_nUninstall == 1) {
        ConflictRestore(m_fileSystem, m_layout.fsRoot, show);
        m_window.EndDialog(1);
        return false;
    }
    m_settings = LoadLayerSettings(m_fileSystem, m_layout.iniPath).values;
    ApplyEnableRule();
    UpdateData(false);
    ConflictScan(m_fileSystem, m_layout.fsRoot, show);
    return true;
}

void CConfigDlg::OnUtClicked() {
    UpdateData(true);
    ApplyEnableRule();
}

void CConfigDlg::OnOK() {
    // Read back twice, before and after the apply, as the framework's OK
    // does; the second finds the same marks. Nothing of the apply is shown:
    // failed file actions show as lines of log.txt, and the dialog closes
    // whatever happened.
    platform::WithinMemory([&] {
        UpdateData(true);
        ApplySettings(m_layout, m_settings, m_fileSystem, m_log, m_window.Handle());
        UpdateData(true);
    });
    m_window.EndDialog(kIdOk);
}

void CConfigDlg::OnCancel() {
    m_window.EndDialog(kIdCancel);
}

bool OpensAboutBox(unsigned command) {
    return (command & 0xFFF0) == IDM_ABOUTBOX;
}

std::pair<int, int> CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth,
                                      int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
