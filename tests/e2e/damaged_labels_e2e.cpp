// The real program on damaged label tables, on a real X server: for every damaged copy it
// starts, shows a message, stays running until told to exit, and leaves every label that was
// whole before whole and readable after. Prints how many damaged tables were tried and how
// many started.
#include "LabelDamage.h"
#include "library/Preferences.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

namespace {

// An Xvfb of its own: the server picks a free display and reports it (-displayfd).
class XServer {
public:
    XServer()
    {
        server_.setProgram(QStringLiteral("Xvfb"));
        server_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                              QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-dpi"),
                              QStringLiteral("96"), QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
                              QStringLiteral("tcp")});
        server_.start();
        QDeadlineTimer deadline(60000);
        while (!deadline.hasExpired() && !server_.canReadLine())
            server_.waitForReadyRead(500);
        const QByteArray line = server_.readLine().trimmed();
        if (!line.isEmpty())
            display_ = QStringLiteral(":") + QString::fromLatin1(line);
    }
    ~XServer()
    {
        server_.terminate();
        server_.waitForFinished(10000);
    }
    const QString& Display() const { return display_; }

private:
    QProcess server_;
    QString display_;
};

class Xdotool {
public:
    explicit Xdotool(QString display) : display_(std::move(display)) {}

    QString Run(const QStringList& args) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display_);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("xdotool"), args);
        p.waitForFinished(20000);
        return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
    }
    // The first visible window with exactly this title, or empty.
    QString Find(const QString& title) const
    {
        return Run({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                    QStringLiteral("^%1$").arg(title)})
            .section(u'\n', 0, 0);
    }
    void Keys(const QString& window, const QStringList& keys) const
    {
        Run({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        for (const QString& k : keys)
            Run({QStringLiteral("key"), k});
    }

private:
    QString display_;
};

struct Outcome {
    bool started = false;  // the main window showed and the program kept running
    int messages = 0;      // information boxes it showed
    bool exitedOnRequest = false;
};

// Starts the program on dir and leaves it through File > Exit; answers its message boxes.
Outcome RunProgram(const QString& bin, const QString& display, const QString& dir)
{
    Outcome out;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("STICKWELL_DATA_DIR"), dir);
    program.setProcessEnvironment(env);
    program.start(bin + QStringLiteral("/stickwell"), {});
    if (!program.waitForStarted(30000))
        return out;
    const Xdotool x(display);
    QDeadlineTimer deadline(120000);
    bool askedToExit = false;
    while (!deadline.hasExpired()) {
        if (program.waitForFinished(200)) {
            out.exitedOnRequest = askedToExit && program.exitStatus() == QProcess::NormalExit &&
                                  program.exitCode() == 0;
            return out;
        }
        if (const QString box = x.Find(QStringLiteral("Information")); !box.isEmpty()) {
            ++out.messages;
            x.Keys(box, {QStringLiteral("Return")});
            // Wait for the box to go before looking again.
            for (QDeadlineTimer gone(20000); !gone.hasExpired() && x.Find(QStringLiteral("Information")) == box;)
                QThread::msleep(100);
            continue;
        }
        if (const QString ask = x.Find(QStringLiteral("Exit")); !ask.isEmpty()) {
            x.Keys(ask, {QStringLiteral("Return")}); // Yes is the default
            askedToExit = true;
            continue;
        }
        if (const QString main = x.Find(QStringLiteral("Stickwell")); !main.isEmpty() && !askedToExit) {
            out.started = true;
            x.Keys(main, {QStringLiteral("alt+f"), QStringLiteral("e")});
            // The Exit question, or a message that was still on its way.
            for (QDeadlineTimer asked(10000); !asked.hasExpired();) {
                if (!x.Find(QStringLiteral("Exit")).isEmpty() || !x.Find(QStringLiteral("Information")).isEmpty())
                    break;
                QThread::msleep(100);
            }
        }
    }
    program.kill();
    program.waitForFinished(10000);
    return out;
}

} // namespace

TEST(DamagedLabelsE2E, TheProgramStartsOnEveryDamagedTable)
{
    const QString bin = QStringLiteral(STICKWELL_BIN_DIR);
    XServer server;
    ASSERT_FALSE(server.Display().isEmpty()) << "Xvfb did not start";

    const QByteArray replay = qgetenv("STICKWELL_SEED");
    const std::uint32_t seed = replay.isEmpty() ? std::random_device{}() : replay.toUInt();
    std::cout << "damage seed " << seed << " (replay: STICKWELL_SEED=" << seed << ")\n";

    QTemporaryDir goodTmp;
    const QString good = goodTmp.path() + u'/';
    damage::MakeLabelTable(good);
    const auto before = damage::ReadLabels(good);
    ASSERT_EQ(before.size(), std::size_t(damage::kLabels));

    int tried = 0, started = 0, withMessage = 0;
    for (const damage::Damage& d : damage::Damages(seed)) {
        SCOPED_TRACE(d.name);
        ++tried;
        QTemporaryDir tmp;
        const QString dir = tmp.path() + u'/';
        for (const char* name : {"QXLTPL.DBF", "QXLTPL.CDX"})
            QFile::copy(bin + u'/' + QLatin1String(name), dir + QLatin1String(name));
        damage::CopyTable(good, dir);
        d.apply(dir);
        if (d.record)
            sw::library::WriteLastUse(dir + "QX.INI", std::int32_t(d.record));

        const Outcome run = RunProgram(bin, server.Display(), dir);
        EXPECT_TRUE(run.started) << "the program did not start";
        EXPECT_TRUE(run.exitedOnRequest) << "the program did not run until told to exit";
        started += run.started && run.exitedOnRequest;
        withMessage += run.messages > 0;
        if ((!d.hurt.empty() || d.all) && !d.silent)
            EXPECT_GT(run.messages, 0) << "no message";

        const auto lost = damage::LostLabels(before, dir, d);
        EXPECT_TRUE(lost.empty()) << lost.front();
    }
    std::cout << "damaged tables tried: " << tried << ", started: " << started << ", with a message: "
              << withMessage << "\n";
    EXPECT_EQ(started, tried);
}
