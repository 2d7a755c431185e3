#pragma once
// Where the label table, the template catalogue and QX.INI live: the executable's directory
// when it can be written to, else the user's data directory ($XDG_DATA_HOME/Stickwell,
// ~/.local/share/Stickwell by default), which receives a copy of the supplied template
// catalogue the first time it is used.
#include <QString>

namespace sw::library {

// True when a file can be created in the directory.
bool DirectoryWritable(const QString& dir);

// The user's data directory for Stickwell (not created).
QString UserDataDirectory();

// Creates the user's data directory and gives it a copy of the supplied catalogue from exeDir
// unless it has one already. Returns the directory with a trailing '/'.
QString PrepareUserDataDirectory(const QString& exeDir);

// The directory the program keeps its data in, with a trailing '/'. Creates the user's data
// directory and copies QXLTPL.DBF/.CDX from exeDir into it when needed.
QString ResolveDataDirectory(const QString& exeDir);

} // namespace sw::library
