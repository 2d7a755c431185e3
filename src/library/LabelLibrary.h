#pragma once
// The label library as the main window owns it: the label table, the label commands and the
// start-up and exit work around the last used label (QX.INI).
#include "library/LabelCommands.h"
#include "library/LabelStore.h"
#include "library/LibraryDialogs.h"

#include <memory>

class TLabelLibrary {
public:
    // dataDir: where the tables and QX.INI live (see ResolveDataDirectory). Without `dialogs`
    // the real modal choosers are used.
    TLabelLibrary(TWindowServices& services, TLabelScreen& screen, const QString& dataDir,
                  TLibraryDialogs* dialogs = nullptr);

    TLabelStore& Store() { return store_; }
    TLabelCommands& Commands() { return commands_; }
    QString PreferencesPath() const;

    // The label table's part of each activation of the main window: re-reads QX.INI and, the
    // first time, opens the table and shows the last used label. False when the table cannot
    // be opened: the main window then closes.
    bool FormActivate();
    void LoadPreferences();
    // On a confirmed exit: the current record number into QX.INI. False (after "Unable to
    // write to ...") when the file cannot be written; the window then stays open.
    bool SavePreferences();

private:
    TWindowServices& services_;
    std::unique_ptr<TLibraryDialogs> ownDialogs_;
    TLabelStore store_;
    TLabelCommands commands_;
};
