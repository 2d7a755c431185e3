// The library's windows name their controls' help, and their Help buttons have pages.
#include "../common/HelpCheck.h"
#include "support/Fakes.h"
#include "library/SelectLabel.h"
#include "library/SelectTemplate.h"
#include "library/TemplateCatalogue.h"
#include "library/TemplateEdit.h"

#include <QFile>

using sw::xbase::Table;

TEST(LibraryHelp, TemplateWindowsAndLabelChooserHelpWithEachControl)
{
    QTemporaryDir tmp;
    const QString dir = NewDataDirectory(tmp);
    FakeServices services;
    std::unique_ptr<Table> templates = sw::library::OpenTemplateTable(dir);
    {
        TSelectTemplate chooser(services, *templates, QString());
        ExpectControlHelp(chooser, {"CancelButton", "DeleteLabel", "EditLabel", "HelpButton", "LabelGrid",
                                    "NewLabel", "OkButton"});
        EXPECT_EQ(ExpectHelpPages(chooser), QList<int>{TSelectTemplate::HelpContext});
    }

    TTemplateEdit editor(services, TTemplateValues{}, QStringLiteral("Create Label Template"));
    const QStringList fields = {"eHorizPitch", "eLabelShape", "elblHeight", "elblwidth", "eleftmarg", "enbracross",
                                "enbrdown", "epapersize", "etopmarg", "eUserDesc", "eVertPitch"};
    QStringList names = {"CancelButton", "HelpButton", "Inchesbutton", "MMButton", "OKButton"};
    for (const QString& f : fields)
        names << f << f + "Label";
    ExpectControlHelp(editor, names);
    // Every caption leads to its field's help.
    TODSHelp* help = TODSHelp::Of(&editor);
    for (const QString& f : fields)
        EXPECT_EQ(help->Find(f + "Label"), help->Find(f)) << f.toStdString();
    EXPECT_EQ(ExpectHelpPages(editor), QList<int>{TTemplateEdit::HelpContext});

    for (const char* ext : {".DBF", ".cdx", ".fpt"}) {
        const QString to = tmp.filePath(QStringLiteral("L") + QLatin1String(ext));
        QFile::copy(TestData(QStringLiteral("SMALL") + QLatin1String(ext)), to);
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
    }
    Table labels(tmp.filePath("L.DBF").toStdString());
    TSelectLabel labelChooser(labels);
    ExpectControlHelp(labelChooser, {"CancelButton", "Helpbutton", "LabelsGrid", "OkButton"});
    EXPECT_EQ(ExpectHelpPages(labelChooser), QList<int>{TSelectLabel::HelpContext});
}
