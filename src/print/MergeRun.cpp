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
        if (it.ItemKind != ikText)
            continue;
        for (const TPlaceholder& p : PlaceholdersIn(it.Text)) {
            if (!p.HasArg && merge.Data.FieldIndex(p.Name) >= 0)
                continue;
            const QString written = p.HasArg ? p.Name + QLatin1Char(':') + p.Arg : p.Name;
            throw EMergeRun(QStringLiteral("The field {%1} of text item %2 (\"%3\") is not in the merge source; "
                                           "its fields are: %4")
                                .arg(written)
                                .arg(i + 1)
                                .arg(it.Text, merge.Data.Fields.join(QStringLiteral(", "))));
        }
    }
    if (merge.Records.empty() || merge.Copies < 1)
        throw EMergeRun(QStringLiteral("No records to print"));
}

} // namespace sw
