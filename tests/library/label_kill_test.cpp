// Nothing saved is lost when the program is killed in the middle of a Save or a Rebuild
// Indexes, and the program starts afterwards and works as before.
#include "support/Fakes.h"
#include "library/LabelLibrary.h"
#include "library/TemplateCatalogue.h"
#include "xbase/Table.h"
#include "../common/TestSeed.h"
#include "../common/WriteStops.h"

#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const QString kAddress = QStringLiteral("Avery 5160/8160 Address 1\" x 2-5/8\", 30 per sheet");

struct Program {
    FakeServices services;
    FakeScreen screen{services};
    FakeDialogs dialogs;
    TLabelLibrary lib;
    explicit Program(const QString& dir) : lib(services, screen, dir, &dialogs) { dialogs.templateName = kAddress; }

    // True only when a new label was started and saved without a word from the program: a
    // New Label that failed would leave the description typed over the label on screen.
    bool Save(const QString& description)
    {
        services.messages.clear();
        lib.Commands().NewLabel();
        if (!services.state.IsNewLabel)
            return false;
        screen.Type(description);
        screen.items = QStringLiteral("LABELITEM=TEXT\r\nTEXT=%1\r\n").arg(description).repeated(8);
        lib.Commands().SaveButtonClick();
        return !services.state.IsNewLabel && services.messages.isEmpty();
    }

    // Saves a label and deletes it again, so that the next pack has something to remove.
    bool SaveAndDelete(const QString& description)
    {
        if (!Save(description))
            return false;
        services.answers = {true};
        lib.Commands().mnuDeleteLabelClick();
        return !lib.Store().HasCurrentRecord() || lib.Store().CurrentLabel().Description != description;
    }
};

enum class Work { Saves, Rebuilds };

struct Outcome {
    bool started = false;
    int status = 0;                 // as waitpid gives it
    std::vector<std::string> done;  // the steps the child reported finished
};

// Runs the work in a child process, `steps` times (0: until it ends otherwise), and reports
// each finished step on a pipe: a save by its label's description (prefix-N). The child
// stops before its file change number `stopBefore` (counted from its start, -1: none); or
// the parent kills it `killAfter` after it has started.
Outcome RunChild(const QString& dir, Work work, const std::string& prefix, int steps, std::int64_t stopBefore,
                 bool torn, std::optional<std::chrono::microseconds> killAfter)
{
    Outcome out;
    int fds[2];
    if (pipe(fds) != 0)
        return out;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        if (stopBefore >= 0)
            sw::test::StopBeforeChange(stopBefore, torn);
        Program run(dir);
        if (!run.lib.FormActivate())
            _exit(3);
        // Reloads after a post are the screen's business; the child has no screen to show.
        run.services.state.InhibitReload = true;
        const char ready = '!';
        (void)!write(fds[1], &ready, 1);
        for (int i = 0; steps == 0 || i < steps; ++i) {
            std::string done;
            if (work == Work::Saves) {
                done = prefix + "-" + std::to_string(i);
                if (!run.Save(QString::fromStdString(done)))
                    _exit(4);
            } else {
                run.lib.Store().mnuRebuildIndexesClick();
                done = "rebuilt";
            }
            done += '\n';
            (void)!write(fds[1], done.data(), done.size());
        }
        sw::test::NeverStop();
        _exit(0);
    }
    close(fds[1]);
    char c = 0;
    out.started = read(fds[0], &c, 1) == 1 && c == '!';
    if (killAfter) {
        if (out.started)
            std::this_thread::sleep_for(*killAfter);
        kill(child, SIGKILL);
    }
    waitpid(child, &out.status, 0);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        text.append(buf, size_t(n));
    close(fds[0]);
    for (size_t at = 0, nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1)
        out.done.push_back(text.substr(at, nl - at));
    return out;
}

// What a user would find wrong on the next start, or empty: the program does not start,
// the label table or the template catalogue does not check sound, a saved label is missing,
// a deleted one came back, or a new label cannot be made on a stock template.
QString ProblemAfterwards(const QString& dir, const std::set<QString>& saved)
{
    Program run(dir);
    if (!run.lib.FormActivate())
        return QStringLiteral("the program does not start: ") + run.services.messages.join(" | ");
    const auto check = run.lib.Store().Table()->check();
    if (!check.ok())
        return QString::fromStdString(check.problems.front());
    const QStringList all = StoredDescriptions(*run.lib.Store().Table());
    for (const QString& name : saved)
        if (!all.contains(name))
            return QStringLiteral("lost ") + name;
    for (const QString& name : all)
        if (name.startsWith(QLatin1String("doomed")))
            return QStringLiteral("a deleted label came back: ") + name;
    try {
        const auto templates = sw::library::OpenTemplateTable(dir);
        const auto sound = templates->check();
        if (!sound.ok())
            return QStringLiteral("the template catalogue: ") + QString::fromStdString(sound.problems.front());
    } catch (const std::exception& e) {
        return QStringLiteral("the template catalogue: ") + QString::fromUtf8(e.what());
    }
    if (!run.SaveAndDelete(QStringLiteral("probe")))
        return QStringLiteral("a new label cannot be saved: ") + run.services.messages.join(" | ");
    return {};
}

// A data directory with 20 saved labels and a template catalogue from which four stock
// templates were deleted (Rebuild Indexes packs it).
QString PrepareData(QTemporaryDir& tmp, std::set<QString>& saved)
{
    const QString dir = NewDataDirectory(tmp);
    {
        sw::xbase::Table templates((dir + QStringLiteral("QXLTPL.DBF")).toStdString());
        for (std::uint32_t r = 2; r < 14; r += 3) {
            templates.go(r);
            templates.deleteRecord();
        }
    }
    Program run(dir);
    if (!run.lib.FormActivate())
        return {};
    for (int i = 0; i < 20; ++i) {
        const QString name = QStringLiteral("before %1").arg(i);
        if (!run.Save(name))
            return {};
        saved.insert(name);
    }
    return dir;
}

// Gives the next pack something to remove.
void DeleteSomeLabels(const QString& dir, const QString& prefix)
{
    Program run(dir);
    ASSERT_TRUE(run.lib.FormActivate());
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(run.SaveAndDelete(QStringLiteral("doomed %1-%2").arg(prefix).arg(i)))
            << run.services.messages.join(" | ").toStdString();
}

} // namespace

TEST(KillDuringWork, SavedLabelsSurviveAndTheProgramStarts)
{
    QTemporaryDir tmp;
    std::set<QString> saved;
    const QString dir = PrepareData(tmp, saved);
    ASSERT_FALSE(dir.isEmpty());
    const unsigned seed = sw::test::TestSeed(0);
    std::mt19937 random(seed);
    // A save takes well under a millisecond, a rebuild of the growing table tens of them.
    std::uniform_int_distribution<int> saveMicros(200, 40000);
    std::uniform_int_distribution<int> rebuildMicros(1000, 250000);
    SCOPED_TRACE("seed " + std::to_string(seed));

    for (int round = 0; round < 12; ++round) {
        const Work work = round % 2 ? Work::Rebuilds : Work::Saves;
        if (work == Work::Rebuilds) {
            ASSERT_NO_FATAL_FAILURE(DeleteSomeLabels(dir, QString::number(round)));
        }
        const auto after = std::chrono::microseconds(work == Work::Saves ? saveMicros(random) : rebuildMicros(random));
        const Outcome outcome = RunChild(dir, work, "kill " + std::to_string(round), 0, -1, false, after);
        ASSERT_TRUE(outcome.started) << "round " << round << ": child exit status " << outcome.status;
        // A child that ended by itself failed a step: the steps before it are still checked.
        EXPECT_TRUE(WIFSIGNALED(outcome.status)) << "round " << round << ": child exit status " << outcome.status;
        if (work == Work::Saves)
            for (const auto& line : outcome.done)
                saved.insert(QString::fromStdString(line));
        const QString problem = ProblemAfterwards(dir, saved);
        ASSERT_TRUE(problem.isEmpty()) << "round " << round << ": " << problem.toStdString();
    }
}

// The same without chance: the program is stopped before each of its file changes in turn,
// from its start through three saves, and from its start through a Rebuild Indexes; also with
// the write it stopped in landed up to a page boundary, as a kill inside that write can leave
// it. Each stop continues from what the one before left.
TEST(KillDuringWork, StoppedBeforeAnyChangeNothingIsLost)
{
    for (const Work work : {Work::Saves, Work::Rebuilds}) {
        SCOPED_TRACE(work == Work::Saves ? "saves" : "rebuilds");
        QTemporaryDir tmp;
        std::set<QString> saved;
        const QString dir = PrepareData(tmp, saved);
        ASSERT_FALSE(dir.isEmpty());
        int stops = 0;
        bool finished = false;
        for (std::int64_t change = 0; !finished; ++change) {
            for (const bool torn : {false, true}) {
                const std::string at = "stopped before change " + std::to_string(change) + (torn ? " (torn)" : "");
                if (work == Work::Rebuilds) {
                    ASSERT_NO_FATAL_FAILURE(DeleteSomeLabels(dir, QStringLiteral("%1%2").arg(change).arg(torn)));
                }
                const std::string prefix = "stop " + std::to_string(change) + (torn ? "t" : "");
                const Outcome outcome =
                    RunChild(dir, work, prefix, work == Work::Saves ? 3 : 1, change, torn, std::nullopt);
                ASSERT_TRUE(WIFEXITED(outcome.status)) << at;
                const int code = WEXITSTATUS(outcome.status);
                ASSERT_TRUE(code == 0 || code == sw::test::kStoppedExit) << at << ": exit status " << code;
                finished = code == 0;
                if (work == Work::Saves)
                    for (const auto& line : outcome.done)
                        saved.insert(QString::fromStdString(line));
                const QString problem = ProblemAfterwards(dir, saved);
                ASSERT_TRUE(problem.isEmpty()) << at << ": " << problem.toStdString();
            }
            stops += finished ? 0 : 1;
        }
        EXPECT_GT(stops, work == Work::Saves ? 20 : 15);
        std::printf("%s: stopped at %d changes\n", work == Work::Saves ? "saves" : "rebuilds", stops);
    }
}
