#pragma once
#include <QStringList>

namespace sw {
// stickwell-batch import-templates --table PATH/QXLTPL.DBF [--list] FILE_OR_FOLDER...
// Returns the exit code.
int RunImportTemplatesCommand(const QStringList& args);
}
