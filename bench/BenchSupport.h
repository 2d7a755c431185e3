#pragma once
// What the benchmarks that need widgets share: window services that answer every question
// without a window, and the main() that runs the benchmarks on the offscreen platform.
#include "ui/WindowServices.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <functional>

class TBenchServices : public TWindowServices {
public:
    // yesWhenDefaultNo: the answer to questions whose default is No (Yes lets a run go on past
    // "are you sure" prompts; No keeps what is there).
    explicit TBenchServices(bool yesWhenDefaultNo = true) : yesWhenDefaultNo_(yesWhenDefaultNo) {}

    TWindowState state;
    bool pending = false;
    TWindowState& State() override { return state; }
    QWidget* MainWidget() override { return nullptr; }
    void TriggerChange() override { pending = !state.FirstActivation && !state.LoadingLabel; }
    void ShutOffSaveButtons() override { pending = false; }
    void UpdateScreenStatus() override {}
    bool ChangesPending() const override { return pending; }
    void ShowInformation(const QString&) override {}
    bool AskYesNo(const QString&, const QString&) override { return true; }
    bool AskYesNoDefaultNo(const QString&, const QString&) override { return yesWhenDefaultNo_; }
    void ShowMessage(const QString&) override {}
    void CenterOverMainWindow(QWidget*) override {}
    double PixelsPerInch() const override { return 96; }

private:
    bool yesWhenDefaultNo_;
};

// The body of a widget benchmark's main(); beforeRun runs once the application exists.
inline int RunWidgetBenchmarks(int argc, char** argv, const std::function<void()>& beforeRun = {})
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (beforeRun)
        beforeRun();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
