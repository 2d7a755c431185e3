#pragma once
// The template catalogue QXLTPL.DBF: one record per label stock. The table is opened only
// while the template chooser is open, and briefly by "&Rebuild Indexes".
#include "library/CurrentLabel.h"
#include "xbase/Table.h"

#include <QString>
#include <cstdint>
#include <memory>

struct TTemplateValues {
    QString Description; // TEMPLATE
    float LblHeight = 0; // inches
    float LblWidth = 0;
    float TopMarg = 0;
    float LeftMarg = 0;
    float HorizPitch = 0;
    float VertPitch = 0;
    std::int32_t NbrAcross = 1;
    std::int32_t NbrDown = 1;
    QString PaperSize; // at most 5
    QString LblShape;  // at most 2
    bool UserDef = false;
};

namespace sw::library {

QString TemplateTablePath(const QString& dataDir);

// A character field of the current record without trailing blanks.
QString FieldText(const xbase::Table& table, const char* field);

// Opens the catalogue exclusively, deleted records hidden, in the order of its first tag. A
// catalogue whose index is missing gets its tag "TEMPLATE" back. Throws xbase::Error.
std::unique_ptr<xbase::Table> OpenTemplateTable(const QString& dataDir);
// The same for a catalogue file given by its path.
std::unique_ptr<xbase::Table> OpenTemplateTableFile(const QString& tablePath);

// The current record.
TTemplateValues ReadTemplate(const xbase::Table& table);
// Stores every field into the current record (not posted). Throws xbase::Error when a value
// does not fit its field.
void WriteTemplate(xbase::Table& table, const TTemplateValues& values);

// The geometry fields both tables share (lengths, counts, PAPERSIZE, LBLSHAPE), read into or
// written from the values; the name and USERDEF are not touched.
void ReadGeometry(const xbase::Table& table, TTemplateValues& values);
void WriteGeometry(xbase::Table& table, const TTemplateValues& values);

// OK in the chooser: the template's name and geometry into the label; its description and
// items are not touched.
void CopyTemplateInto(const TTemplateValues& values, TCurrentLabel& label);
// The label's geometry as template values (the name from its TEMPLATE).
TTemplateValues GeometryOf(const TCurrentLabel& label);

} // namespace sw::library
