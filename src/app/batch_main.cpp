// stickwell-batch: the program's command-line companion, running the real engine classes
// without the main window.
#include "app/BatchCalibrate.h"
#include "app/BatchItems.h"
#include "app/BatchPrint.h"
#include "app/BatchTemplates.h"
#include "report/StreamCommands.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

static int Usage()
{
    std::fputs("usage: stickwell-batch items IN.txt OUT.txt [--dpi N]\n"
               "       stickwell-batch render IN.txt OUT.png --width INCHES --height INCHES"
               " [--shape SR|RR|RE] [--dpi N]\n"
               "       stickwell-batch stream-dump FILE.rps\n"
               "       stickwell-batch stream-render FILE.rps OUT.png [--page N] [--zoom PERCENT] [--dpi N]\n"
               "       stickwell-batch stream-pdf FILE.rps OUT.pdf\n"
               "       stickwell-batch print --table PATH/QXLBLS.DBF --label DESCRIPTION [--sheets N]\n"
               "                             [--positions R,C;R,C...] [--printer NAME | --pdf OUT.pdf]\n"
               "                             [--stream OUT.rps] [--merge FILE.csv|FILE.dbf [--copies N]]\n"
               "       stickwell-batch import-templates --table PATH/QXLTPL.DBF [--list] FILE_OR_FOLDER...\n"
               "       stickwell-batch calibrate --table PATH/QXLBLS.DBF --printer NAME"
               " [--offset X,Y] [--scale SX,SY] [--reset]\n",
               stderr);
    return 2;
}

// Qt's notes about the session (no runtime directory in a cron job) are not the command's
// problems: stderr carries only what the command itself has to say.
static QtMessageHandler qtHandler = nullptr;
static void QuietSessionNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    if (qtHandler)
        qtHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

int main(int argc, char** argv)
{
    // Fonts and painting need a GUI application; no window is ever shown.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qtHandler = qInstallMessageHandler(QuietSessionNotes);
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    if (args.isEmpty())
        return Usage();
    const QString command = args.takeFirst();
    if (command.startsWith(QLatin1String("stream-")))
        return sw::RunStreamCommand(command, args);
    if (command == QLatin1String("print"))
        return sw::RunPrintCommand(args);
    if (command == QLatin1String("items") || command == QLatin1String("render"))
        return sw::RunItemsCommand(command, args);
    if (command == QLatin1String("import-templates"))
        return sw::RunImportTemplatesCommand(args);
    if (command == QLatin1String("calibrate"))
        return sw::RunCalibrateCommand(args);
    return Usage();
}
