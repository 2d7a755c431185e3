// Nothing saved is lost when the program is killed in the middle of a Save or a Rebuild
// Indexes, and the program starts afterwards.
#include "support/Fakes.h"
#include "library/LabelLibrary.h"
#include "library/TemplateCatalogue.h"
#include "xbase/Table.h"
#include "../common/TestSeed.h"

#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
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

    bool Save(const QString& description)
    {
        lib.Commands().NewLabel();
        screen.Type(description);
        screen.items = QStringLiteral("LABELITEM=TEXT\r\nTEXT=%1\r\n").arg(description).repeated(8);
        lib.Commands().SaveButtonClick();
        return !services.state.IsNewLabel;
    }
};

enum class Work { Saves, Rebuilds };

// Runs the work in a child process until it is killed; the child reports each finished step
// on the pipe. Returns what the child reported.
std::vector<std::string> RunAndKill(const QString& dir, Work work, int round, std::chrono::microseconds after)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        Program run(dir);
        if (!run.lib.FormActivate())
            _exit(3);
        // Reloads after a post are the screen's business; the child has no screen to show.
        run.services.state.InhibitReload = true;
        const char ready = '!';
        (void)!write(fds[1], &ready, 1);
        for (int i = 0;; ++i) {
            std::string done;
            if (work == Work::Saves) {
                done = "kill " + std::to_string(round) + "-" + std::to_string(i);
                if (!run.Save(QString::fromStdString(done)))
                    _exit(4);
            } else {
                run.lib.Store().mnuRebuildIndexesClick();
                done = "rebuilt";
            }
            done += '\n';
            (void)!write(fds[1], done.data(), done.size());
        }
    }
    close(fds[1]);
    char c = 0;
    const bool started = read(fds[0], &c, 1) == 1 && c == '!';
    if (started)
        std::this_thread::sleep_for(after);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        text.append(buf, size_t(n));
    close(fds[0]);
    std::vector<std::string> lines;
    for (size_t at = 0, nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.push_back(text.substr(at, nl - at));
    EXPECT_TRUE(started) << "child exit status " << status;
    return lines;
}

std::set<QString> Visible(const QString& dir, QString* problem)
{
    Program run(dir);
    if (!run.lib.FormActivate()) {
        *problem = QStringLiteral("the program does not start: ") + run.services.messages.join(" | ");
        return {};
    }
    auto check = run.lib.Store().Table()->check();
    if (!check.ok())
        *problem = QString::fromStdString(check.problems.front());
    const QStringList all = StoredDescriptions(*run.lib.Store().Table());
    return {all.begin(), all.end()};
}

} // namespace

TEST(KillDuringWork, SavedLabelsSurviveAndTheProgramStarts)
{
    QTemporaryDir tmp;
    const QString dir = NewDataDirectory(tmp);
    std::set<QString> saved;
    {
        Program run(dir);
        ASSERT_TRUE(run.lib.FormActivate());
        for (int i = 0; i < 20; ++i) {
            const QString name = QStringLiteral("before %1").arg(i);
            ASSERT_TRUE(run.Save(name));
            saved.insert(name);
        }
    }
    const unsigned seed = sw::test::TestSeed(0);
    std::mt19937 random(seed);
    // A save takes well under a millisecond, a rebuild of the growing table tens of them.
    std::uniform_int_distribution<int> saveMicros(200, 40000);
    std::uniform_int_distribution<int> rebuildMicros(1000, 250000);
    SCOPED_TRACE("seed " + std::to_string(seed));

    for (int round = 0; round < 12; ++round) {
        const Work work = round % 2 ? Work::Rebuilds : Work::Saves;
        if (work == Work::Rebuilds) {
            // Give the pack something to remove.
            Program run(dir);
            ASSERT_TRUE(run.lib.FormActivate());
            for (int i = 0; i < 3; ++i) {
                const QString doomed = QStringLiteral("doomed %1-%2").arg(round).arg(i);
                ASSERT_TRUE(run.Save(doomed));
                run.services.answers = {true};
                run.lib.Commands().mnuDeleteLabelClick();
            }
        }
        const auto reported = RunAndKill(dir, work, round, std::chrono::microseconds(work == Work::Saves ? saveMicros(random) : rebuildMicros(random)));
        if (work == Work::Saves)
            for (const auto& line : reported)
                saved.insert(QString::fromStdString(line));

        QString problem;
        const std::set<QString> visible = Visible(dir, &problem);
        ASSERT_TRUE(problem.isEmpty()) << "round " << round << ": " << problem.toStdString();
        for (const QString& name : saved)
            ASSERT_TRUE(visible.count(name)) << "round " << round << " lost " << name.toStdString();
        for (const QString& name : visible)
            EXPECT_FALSE(name.startsWith("doomed")) << "a deleted label came back: " << name.toStdString();
    }
}
