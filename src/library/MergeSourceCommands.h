#pragma once
// The label's merge source on screen: Label -> "Merge Source..." (the dialog, and a change of the
// label when the source changes), and the design panel showing the first record's values in its
// text items, or the field names when View -> "Field Names" is on.
#include "model/MergeSource.h"

#include <QDateTime>
#include <functional>
#include <optional>

class TLabelPanel;
class TLabelStore;
class TMergeSourceDialog;
class TWindowServices;

class TMergeSourceCommands {
public:
    // Installs itself as the panel's ShownText and FieldValue for as long as it lives.
    TMergeSourceCommands(TWindowServices& services, TLabelStore& store, TLabelPanel& panel);
    ~TMergeSourceCommands();
    TMergeSourceCommands(const TMergeSourceCommands&) = delete;
    TMergeSourceCommands& operator=(const TMergeSourceCommands&) = delete;

    void mnuMergeSourceClick();
    void mnuFieldNamesClick(bool on);
    bool FieldNamesShown() const { return fieldNames_; }

    // What a text item with this caption shows.
    QString ShownText(const QString& caption);
    // The first record's value of a field, for the codes on the panel. Codes show values even
    // while "Field Names" is on: bars cannot show a name.
    std::optional<QString> FieldValue(const QString& name);

    // The dialog, replaceable for tests: true when confirmed.
    std::function<bool(TMergeSourceDialog&)> RunDialog;

private:
    // The first record of the current label's source, read again when the source or its file
    // changed. Null when there is none (no source, unreadable, no records).
    const QStringList* FirstRecord();

    TWindowServices& services_;
    TLabelStore& store_;
    TLabelPanel& panel_;
    bool fieldNames_ = false;
    // What the first record was read from.
    sw::TMergeSource cachedSource_;
    QString cachedPath_;
    QDateTime cachedModified_;
    qint64 cachedSize_ = -1;
    sw::TMergeData data_;
    bool haveRecord_ = false;
};
