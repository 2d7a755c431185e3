#pragma once
// The label table QXLBLS.DBF (with its memo file and index QXLBLS.CDX): opened once at start-up,
// exclusively, and kept open until the program ends; while open, the tag "DESCRIPT" on
// upper(DESCRIPT) is its controlling order and records marked deleted are invisible.
// It moves one record into CurrentLabel and onto the screen, writes CurrentLabel back, and
// rebuilds the indexes.
#include "library/CurrentLabel.h"
#include "model/LabelShape.h"
#include "xbase/Table.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class TLabelScreen;
class TWindowServices;

// The outline an exact code names; false for any other text ("rr", blanks), which leaves the
// panel's outline as it was.
bool ShapeForCode(const QString& code, TLabelShapeType* shape);

class TLabelStore {
public:
    TLabelStore(TWindowServices& services, TLabelScreen& screen, const QString& dataDir);
    ~TLabelStore();

    const QString& DataDirectory() const { return dataDir_; }
    QString LabelTablePath() const;

    // Opens (creating when missing) the table and its index; reports failures in the program's
    // words and returns false. A damaged index is made again; damaged labels are named; a table
    // too damaged to open is kept aside under a new name and an empty one started.
    bool OpenLabelFile();
    // Creates the empty table with its 15 fields; true when the file exists afterwards.
    bool CreateLabelFile();
    bool IsOpen() const { return table_ != nullptr; }

    // The current record into CurrentLabel, the description box, the design panel and its
    // items. With no current record everything shows blank. Never throws: a record that cannot
    // be read whole shows what could be read, the user is told which label and why, and the
    // result is false.
    bool LoadFromLabelFile();
    // CurrentLabel and the items into the table: a new record when IsNewLabel is set, else the
    // current one. Throws xbase::Error when the engine refuses; nothing is then posted.
    void SaveToLabelFile();
    // The table's data-change notification: reloads the label unless reloads are inhibited,
    // the program is starting up or a record is being edited.
    void LabelDataSourceDataChange();
    // "&Rebuild Indexes".
    void mnuRebuildIndexesClick();

    // --- The table's record pointer ---
    bool HasCurrentRecord() const;
    // The current record number; the record count + 1 when there is none.
    std::uint32_t RecNo() const;
    // Goes to the record; false (and the pointer left where it was) when it is missing,
    // deleted or unreachable.
    bool GoToRecord(std::uint32_t recno);
    // First record in description order; notifies a data change.
    void GoTop();
    // First record in description order, without notifying; false (after telling the user)
    // when the table cannot be read there.
    bool GoFirst();
    // Marks the current record deleted and goes to the first label (which the notification loads).
    void DeleteCurrent();
    // True when a visible record other than `self` (0: none) has this description as it would
    // be stored: cut to the field's width, compared in upper case (a to z). The record pointer
    // ends where it was.
    bool DescriptionTaken(const QString& description, std::uint32_t self);

    // The open table, for the label chooser's grid. Null before OpenLabelFile succeeded.
    sw::xbase::Table* Table() { return table_.get(); }
    TCurrentLabel& CurrentLabel() { return current_; }
    const TCurrentLabel& CurrentLabel() const { return current_; }

private:
    std::unique_ptr<sw::xbase::Table> OpenTable(QStringList& notes);
    // Renames the table's files to QXLBLS-damaged-<time>.*; the new name of the DBF, or empty
    // when they could not be moved.
    QString SetAsideDamagedTable();
    // Packs the label table and makes its index again; the engine's message on failure.
    QString RebuildLabelTable();
    void RebuildTemplateTable();
    void ShowGeometry();

    TWindowServices& services_;
    TLabelScreen& screen_;
    QString dataDir_;
    std::unique_ptr<sw::xbase::Table> table_;
    TCurrentLabel current_;
    bool editing_ = false;        // a record is being appended or edited (not in browse state)
    bool notifications_ = true;   // the table's data-aware users are refreshed
};
