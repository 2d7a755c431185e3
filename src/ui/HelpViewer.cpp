#include "ui/HelpViewer.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace sw {

QString HelpDirectory()
{
    // The program's files are found through the "stickwell:" search path (beside the
    // executable, or in ../share/stickwell for an installed program).
    const QFileInfo found(QStringLiteral("stickwell:help"));
    if (found.isDir())
        return found.absoluteFilePath();
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help"));
}

void ShowHelp(QWidget* parent, int context)
{
    QDir dir(HelpDirectory());
    QString page = dir.filePath(QStringLiteral("%1.html").arg(context));
    if (context <= 0 || !QFileInfo::exists(page))
        page = dir.filePath(QStringLiteral("index.html"));

    // One help window at a time: a second request turns its page instead of opening another.
    static QPointer<QDialog> open;
    if (open && open->parentWidget() != parent)
        delete open;
    if (!open) {
        open = new QDialog(parent);
        open->setAttribute(Qt::WA_DeleteOnClose);
        open->setWindowTitle(QStringLiteral("Stickwell Help"));
        open->resize(720, 600);
        auto* browser = new QTextBrowser(open);
        browser->setObjectName(QStringLiteral("HelpBrowser"));
        browser->setSearchPaths({dir.absolutePath()});
        // The caption names the page shown.
        QDialog* dialog = open;
        QObject::connect(browser, &QTextBrowser::sourceChanged, dialog, [dialog, browser] {
            const QString title = browser->documentTitle();
            dialog->setWindowTitle(title.isEmpty() || title == QLatin1String("Stickwell Help")
                                       ? QStringLiteral("Stickwell Help")
                                       : QStringLiteral("Stickwell Help - %1").arg(title));
        });
        auto* layout = new QVBoxLayout(open);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
    }
    auto* browser = open->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
    if (QFileInfo::exists(page))
        browser->setSource(QUrl::fromLocalFile(page));
    else
        browser->setHtml(QStringLiteral("<p>The help pages were not found in %1.</p>")
                             .arg(dir.absolutePath().toHtmlEscaped()));
    open->show();
    open->raise();
    open->activateWindow();
}

} // namespace sw
