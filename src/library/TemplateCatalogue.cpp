#include "library/TemplateCatalogue.h"
#include "library/TableLayouts.h"

#include "model/Units.h"

namespace sw::library {

QString FieldText(const xbase::Table& t, const char* field)
{
    return TrimRight(QString::fromStdString(t.getString(field)));
}

namespace {
QString Text(const xbase::Table& t, const char* field)
{
    return FieldText(t, field);
}
std::string Std(const QString& s)
{
    return s.toStdString();
}
} // namespace

QString TemplateTablePath(const QString& dataDir)
{
    return dataDir + QString::fromLatin1(kTemplateTableName);
}

std::unique_ptr<xbase::Table> OpenTemplateTable(const QString& dataDir)
{
    return OpenTemplateTableFile(TemplateTablePath(dataDir));
}

std::unique_ptr<xbase::Table> OpenTemplateTableFile(const QString& tablePath)
{
    auto table = std::make_unique<xbase::Table>(Std(tablePath), xbase::OpenMode::Exclusive);
    table->setDeleted(true);
    if (table->tagNames().empty())
        table->indexTag(kTemplateTag, kTemplateKey);
    table->setOrder(1);
    table->goTop();
    return table;
}

void ReadGeometry(const xbase::Table& t, TTemplateValues& v)
{
    auto single = [&t](const char* f) { return static_cast<float>(t.getNumber(f)); };
    v.LblHeight = single("LBLHEIGHT");
    v.LblWidth = single("LBLWIDTH");
    v.NbrAcross = static_cast<std::int32_t>(t.getNumber("NBRACROSS"));
    v.NbrDown = static_cast<std::int32_t>(t.getNumber("NBRDOWN"));
    v.TopMarg = single("TOPMARG");
    v.LeftMarg = single("LEFTMARG");
    v.HorizPitch = single("HORIZPITCH");
    v.VertPitch = single("VERTPITCH");
    v.PaperSize = CutTo(Text(t, "PAPERSIZE"), kPaperSizeCapacity);
    v.LblShape = CutTo(Text(t, "LBLSHAPE"), kLblShapeCapacity);
}

void WriteGeometry(xbase::Table& t, const TTemplateValues& v)
{
    // Lengths reach the file rounded to the three decimals it keeps.
    t.putNumber("LBLHEIGHT", sw::FloatToDBF(v.LblHeight));
    t.putNumber("LBLWIDTH", sw::FloatToDBF(v.LblWidth));
    t.putNumber("NBRACROSS", v.NbrAcross);
    t.putNumber("NBRDOWN", v.NbrDown);
    t.putNumber("TOPMARG", sw::FloatToDBF(v.TopMarg));
    t.putNumber("LEFTMARG", sw::FloatToDBF(v.LeftMarg));
    t.putNumber("HORIZPITCH", sw::FloatToDBF(v.HorizPitch));
    t.putNumber("VERTPITCH", sw::FloatToDBF(v.VertPitch));
    t.putString("PAPERSIZE", Std(CutTo(v.PaperSize, kPaperSizeWidth)));
    t.putString("LBLSHAPE", Std(CutTo(v.LblShape, kLblShapeWidth)));
}

TTemplateValues ReadTemplate(const xbase::Table& t)
{
    TTemplateValues v;
    v.Description = CutTo(Text(t, "TEMPLATE"), kTemplateCapacity);
    ReadGeometry(t, v);
    v.UserDef = t.getLogical("USERDEF");
    return v;
}

void WriteTemplate(xbase::Table& t, const TTemplateValues& v)
{
    t.putString("TEMPLATE", Std(CutTo(TrimRight(v.Description), kTemplateWidth)));
    WriteGeometry(t, v);
    t.putLogical("USERDEF", v.UserDef);
}

TTemplateValues GeometryOf(const TCurrentLabel& label)
{
    TTemplateValues v;
    v.Description = label.Template;
    v.LblHeight = label.LblHeight;
    v.LblWidth = label.LblWidth;
    v.TopMarg = label.TopMarg;
    v.LeftMarg = label.LeftMarg;
    v.HorizPitch = label.HorizPitch;
    v.VertPitch = label.VertPitch;
    v.NbrAcross = label.NbrAcross;
    v.NbrDown = label.NbrDown;
    v.PaperSize = label.PaperSize;
    v.LblShape = label.LblShape;
    return v;
}

void CopyTemplateInto(const TTemplateValues& v, TCurrentLabel& label)
{
    label.Template = CutTo(v.Description, kTemplateCapacity);
    label.LblHeight = v.LblHeight;
    label.LblWidth = v.LblWidth;
    label.TopMarg = v.TopMarg;
    label.LeftMarg = v.LeftMarg;
    label.HorizPitch = v.HorizPitch;
    label.VertPitch = v.VertPitch;
    label.NbrAcross = v.NbrAcross;
    label.NbrDown = v.NbrDown;
    label.PaperSize = CutTo(v.PaperSize, kPaperSizeCapacity);
    label.LblShape = CutTo(v.LblShape, kLblShapeCapacity);
}

} // namespace sw::library
