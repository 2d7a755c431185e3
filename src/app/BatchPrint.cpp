#include "app/BatchPrint.h"

#include "library/CurrentLabel.h"
#include "library/Preferences.h"
#include "library/TableLayouts.h"
#include "library/TemplateCatalogue.h"
#include "model/ItemText.h"
#include "model/MergeSource.h"
#include "print/PrintJob.h"
#include "report/RPDevice.h"
#include "xbase/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace sw {
namespace {

const char* const kUsage =
    "usage: stickwell-batch print --table PATH/QXLBLS.DBF --label DESCRIPTION [--sheets N]\n"
    "                             [--positions R,C;R,C...] [--printer NAME | --pdf OUT.pdf]\n"
    "                             [--stream OUT.rps] [--merge FILE.csv|FILE.dbf [--copies N]]\n"
    "  A label with a merge source prints one label per record of it (each on N positions in a\n"
    "  row), over as many sheets as the records need; --merge uses FILE instead of the stored one.\n";

int Usage(const QString& why)
{
    std::fprintf(stderr, "stickwell-batch print: %s\n%s", qPrintable(why), kUsage);
    return 2;
}

int Fail(const QString& message)
{
    std::fprintf(stderr, "stickwell-batch: %s\n", qPrintable(message));
    return 1;
}

struct Options {
    QString table, label, printer, pdf, stream, merge;
    int sheets = 1;
    bool sheetsGiven = false;
    int copies = 0; // 0: not given
    std::vector<std::pair<int, int>> positions; // 1-based row, column
};

// "R,C;R,C..." as the position chooser names them (Row R, Column C).
bool ParsePositions(const QString& text, std::vector<std::pair<int, int>>& out)
{
    static const QRegularExpression pair(QStringLiteral("^\\s*(\\d{1,3})\\s*,\\s*(\\d{1,3})\\s*$"));
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = pair.match(part);
        if (!m.hasMatch())
            return false;
        out.emplace_back(m.captured(1).toInt(), m.captured(2).toInt());
    }
    return !out.empty();
}

std::optional<int> ParseOptions(const QStringList& args, Options& o)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (i + 1 >= args.size())
            return Usage(QStringLiteral("%1 needs a value").arg(a));
        const QString v = args[++i];
        if (a == QLatin1String("--table"))
            o.table = v;
        else if (a == QLatin1String("--label"))
            o.label = v;
        else if (a == QLatin1String("--printer"))
            o.printer = v;
        else if (a == QLatin1String("--pdf"))
            o.pdf = v;
        else if (a == QLatin1String("--stream"))
            o.stream = v;
        else if (a == QLatin1String("--sheets")) {
            bool ok = false;
            o.sheets = v.toInt(&ok);
            if (!ok || o.sheets < 1 || o.sheets > 1000)
                return Usage(QStringLiteral("--sheets takes a number from 1 to 1000"));
            o.sheetsGiven = true;
        } else if (a == QLatin1String("--merge")) {
            o.merge = v;
        } else if (a == QLatin1String("--copies")) {
            bool ok = false;
            o.copies = v.toInt(&ok);
            if (!ok || o.copies < 1 || o.copies > 1000)
                return Usage(QStringLiteral("--copies takes a number from 1 to 1000"));
        } else if (a == QLatin1String("--positions")) {
            if (!ParsePositions(v, o.positions))
                return Usage(QStringLiteral("--positions takes row,column pairs such as 1,2;3,1"));
        } else {
            return Usage(QStringLiteral("unknown option %1").arg(a));
        }
    }
    if (o.table.isEmpty() || o.label.isEmpty())
        return Usage(QStringLiteral("--table and --label are needed"));
    if (!o.printer.isEmpty() && !o.pdf.isEmpty())
        return Usage(QStringLiteral("--printer and --pdf exclude each other"));
    return std::nullopt;
}

// The label's sheet and items, read from the table without keeping it from anyone else.
struct StoredLabel {
    TSheetLayout sheet;
    QString objects;
};

// The merge run of the label, when it has a source or one is given: every record, once each
// unless --copies says otherwise. Returns the problem in the program's words.
std::optional<QString> PrepareMerge(const Options& o, const QStringList& itemText, TPrintJob& job)
{
    TMergeSource source = ReadMergeSource(itemText);
    QString path;
    if (!o.merge.isEmpty()) {
        source = TMergeSource{};
        source.File = o.merge;
        source.Format = MergeFormatOf(o.merge);
        path = QFileInfo(o.merge).absoluteFilePath();
    } else if (source.IsSet()) {
        path = ResolvedMergePath(source.File, QFileInfo(o.table).absolutePath());
    } else {
        if (o.copies > 0)
            return QStringLiteral("--copies applies to a label with a merge source (or --merge FILE)");
        return std::nullopt;
    }
    if (o.sheetsGiven)
        return QStringLiteral("--sheets does not apply to a merge run: its records decide the sheets");
    TMergeRun merge;
    QString error;
    if (!LoadMergeData(path, source, merge.Data, &error))
        return error;
    merge.ChooseAll();
    merge.Copies = o.copies > 0 ? o.copies : 1;
    job.Merge = std::move(merge);
    return std::nullopt;
}

std::optional<QString> ReadLabel(const Options& o, StoredLabel& out)
{
    using namespace sw::library;
    try {
        xbase::Table t(o.table.toStdString(), xbase::OpenMode::ReadOnly);
        t.setDeleted(true);
        // Descriptions are compared as the table stores and indexes them.
        const QString wanted = UpperAZ(TrimRight(CutTo(o.label, kDescriptWidth)));
        t.setOrder(0);
        for (t.goTop(); !t.eof(); t.skip(1)) {
            if (UpperAZ(FieldText(t, "DESCRIPT")) != wanted)
                continue;
            TTemplateValues g;
            ReadGeometry(t, g);
            out.sheet = TSheetLayout{g.NbrAcross, g.NbrDown, g.TopMarg, g.LeftMarg,
                                     g.HorizPitch, g.VertPitch, g.PaperSize};
            out.objects = ItemTextFromMemo(QByteArray::fromStdString(t.getRaw("OBJECTS")));
            return std::nullopt;
        }
        return QStringLiteral("%1: no label with the description \"%2\"").arg(o.table, o.label);
    } catch (const xbase::Error& e) {
        if (e.kind() == xbase::Error::Kind::Locked)
            return QStringLiteral("%1: the label table is open in Stickwell, which keeps it to itself "
                                  "while it runs; print from its File menu, or close it and try again")
                .arg(o.table);
        return QString::fromStdString(e.what());
    }
}

} // namespace

int RunPrintCommand(const QStringList& args)
{
    Options o;
    if (const std::optional<int> bad = ParseOptions(args, o))
        return *bad;
    StoredLabel label;
    if (const std::optional<QString> problem = ReadLabel(o, label))
        return Fail(*problem);

    TPrintJob job;
    job.Sheet = label.sheet;
    job.ItemText = SplitItemText(label.objects);
    job.Sheets = o.sheets;
    if (const std::optional<QString> problem = PrepareMerge(o, job.ItemText, job))
        return Fail(*problem);
    if (!o.positions.empty()) {
        job.Positions.SpecificPositionsOnly = true;
        for (const auto& [row, column] : o.positions) {
            if (row < 1 || row > job.Sheet.NbrDown || column < 1 || column > job.Sheet.NbrAcross)
                return Fail(QStringLiteral("position %1,%2 is not on the sheet (%3 across, %4 down)")
                                .arg(row).arg(column).arg(job.Sheet.NbrAcross).arg(job.Sheet.NbrDown));
            job.Positions.Set((row - 1) * job.Sheet.NbrAcross + (column - 1), true);
        }
    }

    TRPDevice& device = TRPDevice::Shared();
    // The printers' calibrations live beside the table, as they do for the program.
    device.SetSettingsFile(
        QFileInfo(o.table).absoluteDir().filePath(QString::fromLatin1(library::kPreferencesFileName)));
    if (!o.pdf.isEmpty()) {
        if (!QFileInfo(o.pdf).absoluteDir().exists())
            return Fail(QStringLiteral("%1: the folder does not exist").arg(o.pdf));
        device.SelectPrinter(QString::fromLatin1(TRPDevice::kPdfPrinterName));
        device.SetPdfFileName(o.pdf);
    } else if (!o.printer.isEmpty() && !device.SelectPrinter(o.printer)) {
        return Fail(QStringLiteral("no printer named \"%1\"").arg(o.printer));
    }
    if (!device.Printer())
        return Fail(QStringLiteral("No printers installed"));

    std::unique_ptr<QFile> stream;
    if (!o.stream.isEmpty()) {
        stream = std::make_unique<QFile>(o.stream);
        if (!stream->open(QIODevice::ReadWrite | QIODevice::Truncate))
            return Fail(QStringLiteral("%1: %2").arg(o.stream, stream->errorString()));
    }
    const bool terminal = isatty(STDERR_FILENO);
    const QString problem = RunPrintJob(device, job, stream.get(), [terminal](int sheet, int sheets) {
        if (terminal)
            std::fprintf(stderr, "\rsheet %d of %d", sheet, sheets);
    });
    if (terminal)
        std::fputc('\n', stderr);
    if (!problem.isEmpty()) {
        if (stream)
            stream->remove();
        return Fail(problem);
    }
    return 0;
}

} // namespace sw
