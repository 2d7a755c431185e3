#pragma once
// Label stocks from XML template files of the kind gLabels installs (root element
// "Glabels-templates"). The parts read, everything else being passed over:
//
//   <Template brand="Avery" part="5160" size="US-Letter" _description="Address Labels"
//             [width=".." height=".."  (paper size "Other")]  [equiv="other part, same brand"]>
//     <Label-rectangle width=".." height=".." round=".."> | <Label-round radius=".."> |
//     <Label-ellipse width=".." height=".."> | <Label-cd ..> | <Label-continuous ..> | ...
//       <Layout nx="3" ny="10" x0=".." y0=".." dx=".." dy=".."/>   (one or more)
//     </Label-...>
//   </Template>
//
// Lengths carry their unit: pt, in, mm, cm or pc; a bare number is in points, a bare unit 0
// (as the files' own reader takes it). They are read
// into inches here. A file is read completely or not at all: any fault (malformed XML, another
// kind of file, an unknown unit, a missing or unreadable number) gives an error naming the
// file and no templates.
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace sw::library {

enum class TStockOutline { Rectangle, RoundRect, Round, Ellipse, Cd, Continuous, Other };

struct TStockLayout {
    int Across = 0, Down = 0;
    double Left = 0, Top = 0;              // inches, from the sheet's corner to the first label
    double HorizPitch = 0, VertPitch = 0;  // inches; 0 when the file gives none
};

struct TStockTemplate {
    QString Brand, Part, Description;
    QString Paper;  // the file's paper name: "US-Letter", "A4", "Other", ...
    QString Equiv;  // part number of the same maker's stock this one is made like
    int Line = 0;
    // Every label shape of the template; one in a sheet this program can print.
    struct Frame {
        TStockOutline Outline = TStockOutline::Other;
        double Width = 0, Height = 0;  // inches
        QString Unit;                   // the unit the file gives the width in
        std::vector<TStockLayout> Layouts;
    };
    std::vector<Frame> Frames;
};

struct TStockFile {
    std::vector<TStockTemplate> Templates;
    QString Error;  // empty when the file was read; then it names the file and the fault
};

// Reads one file's bytes; fileName only names it in messages.
TStockFile ReadStockFile(const QByteArray& bytes, const QString& fileName);
// Reads the file from disk (files over 64 MB are refused).
TStockFile ReadStockFile(const QString& path);

// A length in inches ("2.5in", "70mm", "1cm", "9pt", "1pc", "9" = 9 points, "in" = 0). Nothing
// for an unknown unit or text that is not a finite number; unit receives the unit found.
std::optional<double> LengthInInches(QStringView text, QString* unit = nullptr, bool* unknownUnit = nullptr);

} // namespace sw::library
