#pragma once
// Where the labels of one sheet stand, in inches from the paper's top-left corner, and which
// paper the stock is printed on.
#include <QString>
#include <cstdint>

namespace sw {

struct TSheetLayout {
    std::int32_t NbrAcross = 1;
    std::int32_t NbrDown = 1;
    double TopMarg = 0, LeftMarg = 0;     // inches
    double HorizPitch = 0, VertPitch = 0; // left edge to left edge, top to top
    QString PaperSize;                    // "LTR", "LTRL", "A4", "A4L", "A5" or any other text
};

// The paper a stock asks the printer for: the platform paper code (0: leave the printer's
// paper alone) and the orientation.
struct TPaperChoice {
    int Code = 0;
    bool Landscape = false;
};

inline TPaperChoice PaperChoiceFor(const QString& paperSize)
{
    if (paperSize == QLatin1String("LTR"))
        return {1, false};
    if (paperSize == QLatin1String("LTRL"))
        return {1, true};
    if (paperSize == QLatin1String("A4"))
        return {9, false};
    if (paperSize == QLatin1String("A4L"))
        return {9, true};
    if (paperSize == QLatin1String("A5"))
        return {11, false};
    return {};
}

} // namespace sw
