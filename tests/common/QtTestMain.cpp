// Test main for Qt folders: a QApplication on the offscreen platform unless told otherwise, in
// a sandbox: HOME, the XDG folders and the program's data directory all point into a temporary
// folder removed at the end, so that no test can reach a user's files even by mistake. Tests
// that build the main window still give it a data directory of their own (TestDataDir.h).
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir sandbox;
    if (!sandbox.isValid())
        return 2;
    const QString home = sandbox.filePath(QStringLiteral("home"));
    const auto point = [&](const char* variable, const QString& dir) {
        QDir().mkpath(dir);
        setenv(variable, QFile::encodeName(dir).constData(), 1);
    };
    point("HOME", home);
    point("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    point("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    point("XDG_CACHE_HOME", home + QStringLiteral("/.cache"));
    point("XDG_STATE_HOME", home + QStringLiteral("/.local/state"));
    point("STICKWELL_DATA_DIR", sandbox.filePath(QStringLiteral("data")));
    int status = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        status = RUN_ALL_TESTS();
    }
    return status;
}
