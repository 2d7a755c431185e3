#include "library/LabelCommands.h"
#include "library/LabelScreen.h"
#include "library/LabelStore.h"
#include "library/LibraryDialogs.h"
#include "library/TemplateCatalogue.h"

#include "model/Units.h"
#include "ui/WindowServices.h"

TLabelState LabelStateOf(bool tableHasRecord, bool isNewLabel, bool changesPending)
{
    if (isNewLabel)
        return lbNew;
    if (!tableHasRecord)
        return lbNoLabel;
    return changesPending ? lbChanged : lbClean;
}

TLabelCommands::TLabelCommands(TWindowServices& services, TLabelScreen& screen, TLabelStore& store,
                               TLibraryDialogs& dialogs)
    : services_(services), screen_(screen), store_(store), dialogs_(dialogs)
{
}

TLabelState TLabelCommands::State() const
{
    return LabelStateOf(store_.HasCurrentRecord(), services_.State().IsNewLabel, services_.ChangesPending());
}

void TLabelCommands::ShowCommandError(const QString& what, const std::exception& e)
{
    services_.ShowInformation(QStringLiteral("%1: %2").arg(what, QString::fromStdString(e.what())));
}

void TLabelCommands::SaveButtonClick()
{
    TWindowState& st = services_.State();
    TCurrentLabel& label = store_.CurrentLabel();
    const QString description = sw::library::CutTo(screen_.DescriptText(), sw::library::kDescriptionCapacity);
    // Blanks alone would be stored as an empty description.
    if (description.trimmed().isEmpty()) {
        services_.ShowInformation(QStringLiteral("Need a description please"));
        return;
    }
    const std::uint32_t self = st.IsNewLabel ? 0 : store_.RecNo();
    bool taken = false;
    try {
        TFlagScope inhibit(st.InhibitReload, true);
        taken = store_.DescriptionTaken(description, self);
    } catch (const std::exception& e) {
        ShowCommandError(QStringLiteral("Unable to read the label file"), e);
        return;
    }
    if (taken) {
        services_.ShowInformation(QStringLiteral("A label with this name already exists.\nPlease change the name"));
        screen_.FocusDescript();
        return;
    }
    label.Description = description;
    try {
        store_.SaveToLabelFile();
    } catch (const std::exception& e) {
        // Nothing was posted: the label stays on screen, changed, to be saved again.
        ShowCommandError(QStringLiteral("Unable to save the label"), e);
        return;
    }
    services_.ShutOffSaveButtons();
    st.IsNewLabel = false;
    services_.UpdateScreenStatus();
}

void TLabelCommands::CancelButtonClick()
{
    // With no record (a new label on an empty table) this shows the blank label.
    store_.LoadFromLabelFile();
    services_.State().IsNewLabel = false;
    services_.ShutOffSaveButtons();
    services_.UpdateScreenStatus();
}

bool TLabelCommands::LoadTemplate()
{
    std::unique_ptr<sw::xbase::Table> templates;
    try {
        templates = sw::library::OpenTemplateTable(store_.DataDirectory());
    } catch (const std::exception&) {
        services_.ShowInformation(QStringLiteral("We were unable to open the label template file: QXLTPL.DBF"));
        return false;
    }
    TCurrentLabel& label = store_.CurrentLabel();
    const auto chosen = dialogs_.ChooseTemplate(*templates, label.Template);
    templates.reset();
    if (!chosen)
        return false;
    sw::library::CopyTemplateInto(*chosen, label);
    screen_.SetLabelPanelSize(sw::InchesToPixels(label.LblWidth, services_.PixelsPerInch()),
                              sw::InchesToPixels(label.LblHeight, services_.PixelsPerInch()));
    TLabelShapeType shape;
    if (ShapeForCode(label.LblShape, &shape))
        screen_.SetLabelShape(shape);
    services_.TriggerChange();
    return true;
}

void TLabelCommands::NewLabel()
{
    services_.ShutOffSaveButtons();
    if (LoadTemplate()) {
        screen_.DeleteAllItems();
        store_.CurrentLabel().MergeSource = {};
        services_.State().IsNewLabel = true;
        screen_.SetDescriptText(QStringLiteral("{untitled label}"));
    }
    services_.UpdateScreenStatus();
    screen_.ClearPositionSelection();
    screen_.ShowToolsPanelAtDefault();
}

void TLabelCommands::SelectLabel()
{
    if (store_.HasCurrentRecord()) {
        TWindowState& st = services_.State();
        services_.ShutOffSaveButtons();
        const std::uint32_t remembered = store_.RecNo();
        TFlagScope inhibit(st.InhibitReload, true);
        bool chosen = false;
        try {
            chosen = dialogs_.ChooseLabel(*store_.Table());
        } catch (const std::exception& e) {
            ShowCommandError(QStringLiteral("Unable to read the label file"), e);
        }
        if (chosen && store_.HasCurrentRecord()) {
            store_.LoadFromLabelFile();
            st.IsNewLabel = false;
        } else if (remembered > 0) {
            // Back on the label that is shown; the panel is not reloaded.
            store_.GoToRecord(remembered);
        }
        services_.UpdateScreenStatus();
    }
    screen_.ClearPositionSelection();
    screen_.ShowToolsPanelAtDefault();
}

void TLabelCommands::mnuCloneLabelClick()
{
    services_.ShutOffSaveButtons();
    if (store_.HasCurrentRecord() &&
        services_.AskYesNo(QStringLiteral("Clone the current label?"), QStringLiteral("Clone"))) {
        services_.State().IsNewLabel = true;
        screen_.SetDescriptText(QStringLiteral("Clone of ") + screen_.DescriptText());
    }
    services_.UpdateScreenStatus();
}

void TLabelCommands::mnuDeleteLabelClick()
{
    if (!store_.HasCurrentRecord())
        return;
    if (!services_.AskYesNoDefaultNo(QStringLiteral("Delete entire label?"), QStringLiteral("Delete Entire Label")))
        return;
    try {
        store_.DeleteCurrent();
    } catch (const std::exception& e) {
        ShowCommandError(QStringLiteral("Unable to delete the label"), e);
    }
    services_.UpdateScreenStatus();
}

void TLabelCommands::mnuConfigureLabelClick()
{
    if (!services_.AskYesNo(QStringLiteral("This feature allows you to replace your current label template "
                                           "with another. Proceed?"),
                            QStringLiteral("Configure")))
        return;
    // With no label on screen there is no record to re-configure: the template starts a new one.
    if (!store_.HasCurrentRecord() && !services_.State().IsNewLabel) {
        NewLabel();
        return;
    }
    LoadTemplate();
    services_.UpdateScreenStatus();
}
