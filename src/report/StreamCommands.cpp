#include "report/StreamCommands.h"

#include <cstdio>

namespace sw {
int RunStreamCommand(const QString& command, const QStringList&)
{
    std::fprintf(stderr, "stickwell-batch: %s is not available yet\n", qPrintable(command));
    return 2;
}
}
