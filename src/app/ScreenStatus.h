#pragma once
// Which parts of the main window are shown or enabled, as a pure function of the window's state.

namespace sw {

struct ScreenState {
    bool TableEmpty = true;   // E: the label table has no current record
    bool IsNewLabel = false;  // the label on screen has no record yet
    bool SaveVisible = false; // S: changes pending
    bool Dirty() const { return IsNewLabel || SaveVisible; } // D
};

struct ScreenStatus {
    bool DesignPanelsVisible; // LabelPanel and ToolsPanel
    bool ExitButtonVisible;
    bool SelectAndNewEnabled;  // "&Select Label", "&New Label"
    bool LabelMenuEnabled;     // "&Label" and its three entries
    bool PrintPreviewEnabled;  // "&Print Labels", "Pre&view Labels"
    bool RebuildIndexesEnabled;
    // "Select Specific &Labels", "P&rinter Setup", "&Exit", "&Grid" and "&Help" are always on.

    bool operator==(const ScreenStatus&) const = default;
};

ScreenStatus ComputeScreenStatus(const ScreenState& state);

} // namespace sw
