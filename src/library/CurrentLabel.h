#pragma once
// The label on screen, as the label table stores it. Filled by a label load or by choosing a
// template; written to the table only by a save.
#include "model/MergeSource.h"

#include <QString>
#include <cstdint>

struct TCurrentLabel {
    QString Description; // at most 60 characters (DESCRIPT keeps the first 30)
    QString Template;    // at most 60
    float LblHeight = 0; // inches
    float LblWidth = 0;
    std::int32_t NbrAcross = 0;
    std::int32_t NbrDown = 0;
    float TopMarg = 0;
    float LeftMarg = 0;
    float HorizPitch = 0;
    float VertPitch = 0;
    QString PaperSize; // at most 5
    QString LblShape;  // at most 2: "SR", "RR" or "RE"
    // The address list whose records fill the label; kept in OBJECTS ahead of the items, so the
    // table keeps its fields.
    sw::TMergeSource MergeSource;
};

namespace sw::library {

inline constexpr int kDescriptionCapacity = 60;
inline constexpr int kTemplateCapacity = 60;
inline constexpr int kPaperSizeCapacity = 5;
inline constexpr int kLblShapeCapacity = 2;

// Text longer than a capacity is cut there.
inline QString CutTo(const QString& text, int capacity) { return text.left(capacity); }

// Upper case of the letters a to z only: how descriptions and index keys are compared.
QString UpperAZ(const QString& text);

// Trailing blanks removed, as character fields read back.
QString TrimRight(const QString& text);

} // namespace sw::library
