#include "library/MergeSourceCommands.h"

#include "library/LabelStore.h"
#include "library/MergeSourceDialog.h"
#include "model/LabelPanel.h"
#include "ui/WindowServices.h"

#include <QFileInfo>

using namespace sw;

TMergeSourceCommands::TMergeSourceCommands(TWindowServices& services, TLabelStore& store, TLabelPanel& panel)
    : services_(services), store_(store), panel_(panel)
{
    RunDialog = [this](TMergeSourceDialog& dialog) {
        services_.CenterOverMainWindow(&dialog);
        return dialog.exec() == QDialog::Accepted;
    };
    panel_.ShownText = [this](const QString& caption) { return ShownText(caption); };
    panel_.FieldValue = [this](const QString& name) { return FieldValue(name); };
}

TMergeSourceCommands::~TMergeSourceCommands()
{
    panel_.ShownText = nullptr;
    panel_.FieldValue = nullptr;
}

void TMergeSourceCommands::mnuMergeSourceClick()
{
    TMergeSource& current = store_.CurrentLabel().MergeSource;
    TMergeSourceDialog dialog(current, store_.DataDirectory(), services_.MainWidget());
    if (!RunDialog(dialog) || dialog.Source() == current)
        return;
    current = dialog.Source();
    services_.TriggerChange();
    panel_.RelayOutTexts();
}

void TMergeSourceCommands::mnuFieldNamesClick(bool on)
{
    fieldNames_ = on;
    panel_.RelayOutTexts();
}

const QStringList* TMergeSourceCommands::FirstRecord()
{
    const TMergeSource& source = store_.CurrentLabel().MergeSource;
    if (!source.IsSet())
        return nullptr;
    const QString path = ResolvedMergePath(source.File, store_.DataDirectory());
    const QFileInfo info(path);
    if (!(source == cachedSource_) || path != cachedPath_ || info.lastModified() != cachedModified_
        || info.size() != cachedSize_) {
        cachedSource_ = source;
        cachedPath_ = path;
        cachedModified_ = info.lastModified();
        cachedSize_ = info.size();
        haveRecord_ = LoadMergeData(path, source, data_, nullptr) && !data_.Records.empty();
        if (haveRecord_)
            data_.Records.resize(1);
    }
    return haveRecord_ ? &data_.Records.front() : nullptr;
}

std::optional<QString> TMergeSourceCommands::FieldValue(const QString& name)
{
    const QStringList* record = FirstRecord();
    const int f = record ? data_.FieldIndex(name) : -1;
    if (f < 0 || f >= record->size())
        return std::nullopt;
    return (*record)[f];
}

QString TMergeSourceCommands::ShownText(const QString& caption)
{
    if (fieldNames_ || !caption.contains(QLatin1Char('{')))
        return caption;
    const QStringList* record = FirstRecord();
    if (!record)
        return caption;
    // One line on the panel; a print gives each line of a value its own.
    return MergeText(caption, data_, *record).replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
}
