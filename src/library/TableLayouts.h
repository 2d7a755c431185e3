#pragma once
// The fields of the two tables the label library keeps. Standard C++ only: the build's
// template generator uses the template table's layout without Qt.
#include "xbase/Table.h"

#include <vector>

namespace sw::library {

inline constexpr char kLabelTableName[] = "QXLBLS.DBF";
inline constexpr char kLabelIndexName[] = "QXLBLS.CDX";
inline constexpr char kTemplateTableName[] = "QXLTPL.DBF";
inline constexpr char kTemplateIndexName[] = "QXLTPL.CDX";

inline constexpr int kDescriptWidth = 30;
inline constexpr int kTemplateWidth = 60;
inline constexpr int kPaperSizeWidth = 5;
inline constexpr int kLblShapeWidth = 2;

// The sheet geometry both tables hold, in this order: lengths N(6,3) in inches, counts N(2,0).
inline std::vector<xbase::FieldDef> GeometryFields()
{
    using xbase::FieldType;
    return {
        {"LBLHEIGHT", FieldType::Numeric, 6, 3},
        {"LBLWIDTH", FieldType::Numeric, 6, 3},
        {"NBRACROSS", FieldType::Numeric, 2, 0},
        {"NBRDOWN", FieldType::Numeric, 2, 0},
        {"TOPMARG", FieldType::Numeric, 6, 3},
        {"LEFTMARG", FieldType::Numeric, 6, 3},
        {"HORIZPITCH", FieldType::Numeric, 6, 3},
        {"VERTPITCH", FieldType::Numeric, 6, 3},
    };
}

inline std::vector<xbase::FieldDef> Concat(std::vector<std::vector<xbase::FieldDef>> parts)
{
    std::vector<xbase::FieldDef> all;
    for (auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// The label table, in this order. SHEETWIDTH and SHEETDEPTH are created and never written.
inline std::vector<xbase::FieldDef> LabelTableFields()
{
    using xbase::FieldType;
    return Concat({{{"DESCRIPT", FieldType::Character, kDescriptWidth, 0},
                    {"TEMPLATE", FieldType::Character, kTemplateWidth, 0}},
                   GeometryFields(),
                   {{"SHEETWIDTH", FieldType::Numeric, 6, 3},
                    {"SHEETDEPTH", FieldType::Numeric, 6, 3},
                    {"PAPERSIZE", FieldType::Character, kPaperSizeWidth, 0},
                    {"LBLSHAPE", FieldType::Character, kLblShapeWidth, 0},
                    {"OBJECTS", FieldType::Memo, 10, 0}}});
}

// The template catalogue: the label table's widths for lengths and counts.
inline std::vector<xbase::FieldDef> TemplateTableFields()
{
    using xbase::FieldType;
    return Concat({{{"TEMPLATE", FieldType::Character, kTemplateWidth, 0}},
                   GeometryFields(),
                   {{"PAPERSIZE", FieldType::Character, kPaperSizeWidth, 0},
                    {"USERDEF", FieldType::Logical, 1, 0},
                    {"LBLSHAPE", FieldType::Character, kLblShapeWidth, 0}}});
}

inline constexpr char kDescriptTag[] = "DESCRIPT";
inline constexpr char kDescriptKey[] = "upper(DESCRIPT)";
inline constexpr char kTemplateTag[] = "TEMPLATE";
inline constexpr char kTemplateKey[] = "upper(TEMPLATE)";

} // namespace sw::library
