#include "app/BatchItems.h"

#include <cstdio>

namespace sw {
int RunItemsCommand(const QString& command, const QStringList&)
{
    std::fprintf(stderr, "stickwell-batch: %s is not available yet\n", qPrintable(command));
    return 2;
}
}
