#pragma once
// Where the label table, the template catalogue and QX.INI live:
//  - the directory named by STICKWELL_DATA_DIR when it is set (tests, end-to-end checks and
//    portable setups give the program its own folder this way);
//  - else the executable's directory when it holds the supplied catalogue and can be written
//    to (the program run from its build folder, as it has always been);
//  - else the user's data directory ($XDG_DATA_HOME/Stickwell, ~/.local/share/Stickwell by
//    default): an installed program, or a read-only one.
// A data directory other than the catalogue's own receives a copy of the supplied template
// catalogue the first time it is used.
#include <QString>

namespace sw::library {

// The environment variable that names the data directory outright.
inline constexpr char kDataDirVariable[] = "STICKWELL_DATA_DIR";

// The prefix of the files that come with the program (catalogue, help pages, symbol table)
// once SetUpResourceSearchPath has run: "stickwell:help/index.html".
inline constexpr char kResourcePrefix[] = "stickwell";

// Where the files that come with the program are: beside the executable (a build folder),
// else ../share/stickwell from it (an installed program). With a trailing '/'.
QString ResourceDirectory(const QString& exeDir);

// Makes "stickwell:" name ResourceDirectory(exeDir), then the executable's directory.
void SetUpResourceSearchPath(const QString& exeDir);

// True when a file can be created in the directory.
bool DirectoryWritable(const QString& dir);

// The user's data directory for Stickwell (not created).
QString UserDataDirectory();

// Creates dir when missing and gives it a copy of the catalogue from catalogueDir unless it
// has one already. Returns dir with a trailing '/'.
QString PrepareDataDirectory(const QString& dir, const QString& catalogueDir);

// PrepareDataDirectory on the user's data directory.
QString PrepareUserDataDirectory(const QString& catalogueDir);

// The directory the program keeps its data in, with a trailing '/', made ready for use
// (see above).
QString ResolveDataDirectory(const QString& exeDir);

} // namespace sw::library
