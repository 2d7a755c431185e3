#pragma once
// A data directory of one test's own: a fresh temporary folder, by default with a copy of the
// supplied template catalogue, removed with the object. Every test that builds the main window
// passes one: TKLabelMain w(data.Path());
#include <QFile>
#include <QTemporaryDir>

class TTestDataDir {
public:
    explicit TTestDataDir(bool withTemplates = true)
    {
        if (!withTemplates)
            return;
        for (const char* name : {"QXLTPL.DBF", "QXLTPL.CDX"}) {
            const QString to = Path() + QLatin1String(name);
            QFile::copy(QStringLiteral(STICKWELL_BIN_DIR "/") + QLatin1String(name), to);
            // The build's copy may be read-only; the test's own copy takes templates.
            QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
        }
    }
    // With a trailing '/'.
    QString Path() const { return tmp_.path() + u'/'; }

private:
    QTemporaryDir tmp_;
};
