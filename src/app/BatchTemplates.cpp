#include "app/BatchTemplates.h"

#include "library/StockImport.h"

#include <cstdio>

namespace sw {

int RunImportTemplatesCommand(const QStringList& arguments)
{
    QStringList args = arguments;
    QString tablePath;
    bool list = false;
    QStringList paths;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--table") && !args.isEmpty())
            tablePath = args.takeFirst();
        else if (a == QLatin1String("--list"))
            list = true;
        else
            paths << a;
    }
    if (tablePath.isEmpty() || paths.isEmpty()) {
        std::fputs("usage: stickwell-batch import-templates --table PATH/QXLTPL.DBF [--list] FILE_OR_FOLDER...\n", stderr);
        return 2;
    }
    auto fail = [](const QString& text) {
        std::fprintf(stderr, "stickwell-batch: %s\n", qPrintable(text));
        return 1;
    };
    try {
        auto table = library::OpenTemplateTableFile(tablePath);
        const QStringList files = library::StockFiles(paths);
        if (files.isEmpty())
            return fail(QStringLiteral("no template files in %1").arg(paths.join(QStringLiteral(", "))));
        const library::TStockSet set = library::ReadStocks(files, library::CatalogueNames(*table));
        if (!set.Error.isEmpty())
            return fail(set.Error + QStringLiteral("; nothing was imported"));
        std::vector<TTemplateValues> chosen;
        std::array<int, library::kSkipReasonCount> skipped{};
        for (const library::TStockCandidate& c : set.Stocks) {
            if (c.Skip == library::TSkipReason::None)
                chosen.push_back(c.Values);
            else
                ++skipped[size_t(c.Skip)];
            if (list)
                std::printf("%s\t%s\t%s:%d\n",
                            c.Skip == library::TSkipReason::None ? "import" : qPrintable(library::SkipReasonText(c.Skip)),
                            qPrintable(c.Values.Description), qPrintable(c.File), c.Line);
        }
        const library::TAppendResult r = library::AppendStocks(*table, chosen);
        if (!r.ok())
            return fail(QStringLiteral("%1: %2; nothing was imported").arg(tablePath, r.Error));
        table->close();
        std::printf("%s\n", qPrintable(library::ImportSummary(r.Appended, skipped)));
        return 0;
    } catch (const std::exception& e) {
        return fail(QStringLiteral("%1: %2").arg(tablePath, QString::fromStdString(e.what())));
    }
}

} // namespace sw
