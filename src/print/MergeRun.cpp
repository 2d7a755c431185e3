#include "print/MergeRun.h"

#include "model/Placeholders.h"

#include <algorithm>

namespace sw {

void TMergeRun::ChooseAll()
{
    Records.resize(Data.Records.size());
    for (std::size_t i = 0; i < Records.size(); ++i)
        Records[i] = int(i);
}

int TMergeRun::SheetsNeeded(int positionsPerSheet) const
{
    if (positionsPerSheet <= 0 || Labels() == 0)
        return 1;
    const std::int64_t sheets = (Labels() + positionsPerSheet - 1) / positionsPerSheet;
    return int(std::min<std::int64_t>(sheets, 1000000));
}

void CheckMergeRun(const TMergeRun& merge, const TItemsList& items)
{
    for (std::size_t i = 0; i < items.Items.size(); ++i) {
        const TLabelItemObject& it = items.Items[i];
        const bool code = it.ItemKind == ikBarcode;
        if (it.ItemKind != ikText && !code)
            continue;
        const QString& text = code ? it.Data : it.Text;
        for (const TPlaceholder& p : PlaceholdersIn(text)) {
            if (!p.HasArg && merge.Data.FieldIndex(p.Name) >= 0)
                continue;
            // The counter of a code is checked with the code.
            if (code && p.Name == QLatin1String("COUNTER"))
                continue;
            const QString written = p.HasArg ? p.Name + QLatin1Char(':') + p.Arg : p.Name;
            throw EMergeRun(QStringLiteral("The field {%1} of %2 item %3 (\"%4\") is not in the merge source; "
                                           "its fields are: %5")
                                .arg(written, code ? QStringLiteral("barcode") : QStringLiteral("text"))
                                .arg(i + 1)
                                .arg(text, merge.Data.Fields.join(QStringLiteral(", "))));
        }
    }
    if (merge.Records.empty() || merge.Copies < 1)
        throw EMergeRun(QStringLiteral("No records to print"));
}

} // namespace sw
