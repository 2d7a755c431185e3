#include "ui/HelpViewer.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace sw {

QString HelpDirectory()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help"));
}

void ShowHelp(QWidget* parent, int context)
{
    QDir dir(HelpDirectory());
    QString page = dir.filePath(QStringLiteral("%1.html").arg(context));
    if (context <= 0 || !QFileInfo::exists(page))
        page = dir.filePath(QStringLiteral("index.html"));

    auto* dialog = new QDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Stickwell Help"));
    dialog->resize(560, 480);
    auto* browser = new QTextBrowser(dialog);
    browser->setSearchPaths({dir.absolutePath()});
    if (QFileInfo::exists(page))
        browser->setSource(QUrl::fromLocalFile(page));
    else
        browser->setHtml(QStringLiteral("<p>The help pages were not found in %1.</p>")
                             .arg(dir.absolutePath().toHtmlEscaped()));
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    dialog->show();
}

} // namespace sw
