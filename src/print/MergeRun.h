#pragma once
// The records of a merge source as a run prints them: each chosen record fills the next printed
// position (rows top to bottom, columns left to right, chosen positions only), Copies positions
// in a row, over as many sheets as the records need. Text items show their {FIELD} names filled
// from the record; field names are compared ignoring case and "{{" writes a brace.
#include "model/MergeSource.h"
#include "print/LabelItemObject.h"

#include <QString>
#include <stdexcept>
#include <vector>

namespace sw {

struct TMergeRun {
    TMergeData Data;
    std::vector<int> Records; // indexes into Data.Records, in the order they print
    int Copies = 1;           // consecutive positions per record
    bool FirstSheetOnly = false; // a preview

    // Every record of Data, once.
    void ChooseAll();
    std::int64_t Labels() const { return std::int64_t(Records.size()) * Copies; }
    // The sheets the labels fill at positionsPerSheet printed positions each (1 when nothing is
    // chosen, so a preview of an empty choice still has its page).
    int SheetsNeeded(int positionsPerSheet) const;
};

// A run that must not start, with the reason in the program's words.
class EMergeRun : public std::runtime_error {
public:
    explicit EMergeRun(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }

private:
    QString message_;
};

// Refuses, before anything prints, a run without records ("No records to print") and a field that
// a text item or a code's data names and the source lacks (naming the field and the item).
void CheckMergeRun(const TMergeRun& merge, const TItemsList& items);

} // namespace sw
