#pragma once
// The commands around the one label on screen: Save, Cancel, New, Select, Clone, Delete and
// Configure, and the choosing of a template. Which of them are offered is decided by the
// main window's availability rules from the state these commands leave.
#include <QString>

class TLabelScreen;
class TLabelStore;
class TLibraryDialogs;
class TWindowServices;

// The main-window states the commands move between.
enum TLabelState { lbNoLabel, lbClean, lbChanged, lbNew };
TLabelState LabelStateOf(bool tableHasRecord, bool isNewLabel, bool changesPending);

class TLabelCommands {
public:
    TLabelCommands(TWindowServices& services, TLabelScreen& screen, TLabelStore& store,
                   TLibraryDialogs& dialogs);

    TLabelState State() const;

    void SaveButtonClick();
    void CancelButtonClick();
    void NewLabel();
    void SelectLabel();
    void mnuCloneLabelClick();
    void mnuDeleteLabelClick();
    void mnuConfigureLabelClick();
    // Runs the template chooser; on OK the template's name and geometry replace the label's,
    // the design panel is resized and the label counts as changed.
    bool LoadTemplate();

private:
    void ShowCommandError(const QString& what, const std::exception& e);

    TWindowServices& services_;
    TLabelScreen& screen_;
    TLabelStore& store_;
    TLibraryDialogs& dialogs_;
};
