#pragma once
// One print or preview run without any window: the label repeated at the sheet's positions on
// as many sheets as asked, drawn through any report (the printer report or the stream filer),
// with the counter advancing from label to label. The status window and the command-line print
// both drive it.
#include "model/Barcode.h"
#include "model/Picture.h"
#include "model/PositionSelection.h"
#include "print/LabelItemObject.h"
#include "print/MergeRun.h"
#include "print/SheetLayout.h"

#include <functional>
#include <optional>
#include <vector>

namespace sw {

class TBaseReport;

class TLabelRun {
public:
    // positions: consulted only when its SpecificPositionsOnly is set.
    TLabelRun(const TSheetLayout& sheet, const TPositionSelection& positions, int pageCount,
              const QStringList& itemText);

    // A merge run: the records fill the positions (pageCount is then not used). The run keeps
    // the pointer; null for a plain run.
    void SetMerge(const TMergeRun* merge) { merge_ = merge; }

    // Reads the item text into the records (once per run) and checks every code the run will
    // print, counter values included. Throws EItemText, EMergeRun when a merge run cannot
    // start, or EBarcodeData for data a code cannot hold: nothing is printed then.
    void ReadItems();
    const TItemsList& Items() const { return items_; }

    // Called after every label drawn (sheet from 0); the place where a window lets pending
    // events run and a cancel arrives.
    std::function<void(int sheet)> AfterLabel;
    // The run leaves after the label being drawn.
    void Cancel() { cancelled_ = true; }
    bool Cancelled() const { return cancelled_; }

    // The report's OnPrint: every sheet, rows top to bottom, columns left to right; a page
    // break between sheets.
    void PrintLabels(TBaseReport& report);
    // Items 0..lastItemIndex at the report's current origin, back to front.
    void PrintSingleLabel(TBaseReport& report, int lastItemIndex);

    int LabelsDrawn() const { return labelsDrawn_; }
    std::int64_t CounterValue() const { return counterValue_; }

    // The positions of one sheet a run prints at.
    static int PositionsPerSheet(const TSheetLayout& sheet, const TPositionSelection& positions);

    // Paper and orientation of the stock onto a report that is not printing.
    static void ApplyPaper(TBaseReport& report, const TSheetLayout& sheet);

private:
    void DrawText(TBaseReport& r, const TLabelItemObject& it, const QString& text);
    void DrawCounter(TBaseReport& r, const TLabelItemObject& it);
    void DrawSymbol(TBaseReport& r, const TLabelItemObject& it);
    void DrawPicture(TBaseReport& r, std::size_t index, const TLabelItemObject& it);
    void DrawBarcode(TBaseReport& r, std::size_t index, const TLabelItemObject& it);
    void AdvanceCounter();
    void CheckBarcodes();
    // A code's data for the label being drawn: {COUNTER} and, in a merge run, the record's
    // fields. Null (with why) when a name is not known or a counter width is bad.
    std::optional<QString> BarcodeData(const QString& data, std::int64_t counter, QString* why = nullptr) const;
    int SheetsToPrint() const;
    // Calls f(sheet, row, column) for every label of the run, in run order.
    template <typename F> void ForEachLabel(F&& f);

    TSheetLayout sheet_;
    TPositionSelection positions_;
    int pageCount_;
    const TMergeRun* merge_ = nullptr;
    const QStringList* record_ = nullptr; // the merge record of the label being drawn
    QStringList itemText_;
    bool read_ = false;
    TItemsList items_;
    int lastItemIndex_ = -1;
    bool cancelled_ = false;
    int labelsDrawn_ = 0;
    // Wide enough that a counter started near the top of 32 bits runs on instead of overflowing.
    std::int64_t counterValue_ = 0;
    std::int64_t repeatCount_ = 1;

    // A picture is loaded at its first label and reused; one that fails to load stays missing.
    struct PictureSlot {
        bool tried = false;
        Picture picture;
    };
    std::vector<PictureSlot> pictures_;

    // The value "{COUNTER}" stands for on the label being drawn: the counter's value as the
    // label starts, or the label's place in the run when it has no counter item.
    std::int64_t labelCounter_ = 1;
    int counterItems_ = 0;
    // A code is encoded once when its data is fixed, else again whenever the value changes.
    struct BarcodeSlot {
        bool encoded = false;
        QString data;
        TBarcode code;
    };
    std::vector<BarcodeSlot> barcodes_;
};

// Data that a code cannot hold on one label of the run.
class EBarcodeData : public std::runtime_error {
public:
    explicit EBarcodeData(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }

private:
    QString message_;
};

} // namespace sw
