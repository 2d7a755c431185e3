#include "Fakes.h"
#include "library/TemplateCatalogue.h"

#include <QFile>

std::optional<TTemplateValues> FakeDialogs::ChooseTemplate(sw::xbase::Table& templates, const QString& current)
{
    openedOn = current;
    if (templateName.isEmpty())
        return std::nullopt;
    for (templates.goTop(); !templates.eof(); templates.skip(1))
        if (sw::library::FieldText(templates, "TEMPLATE") == templateName)
            return sw::library::ReadTemplate(templates);
    return std::nullopt;
}

QString NewDataDirectory(QTemporaryDir& dir, bool withTemplates)
{
    const QString path = dir.path() + u'/';
    if (withTemplates) {
        QFile::copy(QStringLiteral(STICKWELL_BIN_DIR "/QXLTPL.DBF"), path + QStringLiteral("QXLTPL.DBF"));
        QFile::copy(QStringLiteral(STICKWELL_BIN_DIR "/QXLTPL.CDX"), path + QStringLiteral("QXLTPL.CDX"));
        QFile::setPermissions(path + QStringLiteral("QXLTPL.DBF"), QFile::ReadOwner | QFile::WriteOwner);
        QFile::setPermissions(path + QStringLiteral("QXLTPL.CDX"), QFile::ReadOwner | QFile::WriteOwner);
    }
    return path;
}

QString TestData(const QString& name)
{
    return QStringLiteral(STICKWELL_TEST_DATA "/library/") + name;
}

QStringList StoredDescriptions(sw::xbase::Table& t)
{
    QStringList out;
    const std::uint32_t here = t.recNo();
    for (t.goTop(); !t.eof(); t.skip(1))
        out << sw::library::FieldText(t, "DESCRIPT");
    if (here <= t.recCount())
        t.go(here);
    return out;
}
