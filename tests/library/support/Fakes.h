#pragma once
// Stand-ins for the main window around the label library: services that record what they
// were asked, a screen that keeps what it was shown, and choosers that answer from a script.
#include "library/LabelScreen.h"
#include "library/LibraryDialogs.h"
#include "ui/WindowServices.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <optional>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '[' << l.join(" | ").toStdString() << ']'; }

class FakeServices : public TWindowServices {
public:
    TWindowState state;
    bool saveVisible = false;
    QStringList messages;       // every information and plain box, in order
    std::deque<bool> answers;   // the next AskYesNo / AskYesNoDefaultNo answers (default: Yes)
    QStringList questions;
    int statusUpdates = 0;

    TWindowState& State() override { return state; }
    QWidget* MainWidget() override { return nullptr; }
    void TriggerChange() override
    {
        if (state.FirstActivation || state.LoadingLabel)
            return;
        saveVisible = true;
        UpdateScreenStatus();
    }
    void ShutOffSaveButtons() override { saveVisible = false; }
    void UpdateScreenStatus() override { ++statusUpdates; }
    bool ChangesPending() const override { return saveVisible; }
    void ShowInformation(const QString& text) override { messages << text; }
    bool AskYesNo(const QString& text, const QString&) override { return Answer(text); }
    bool AskYesNoDefaultNo(const QString& text, const QString&) override { return Answer(text); }
    void ShowMessage(const QString& text) override { messages << text; }
    void CenterOverMainWindow(QWidget*) override {}
    double PixelsPerInch() const override { return 96.0; }

private:
    bool Answer(const QString& text)
    {
        questions << text;
        if (answers.empty())
            return true;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

class FakeScreen : public TLabelScreen {
public:
    explicit FakeScreen(FakeServices& services) : services_(services) {}

    QString descript;
    int panelWidth = 0, panelHeight = 0;
    TLabelShapeType shape = lsRoundRect;
    QString items;           // the item text the panel holds
    int positionClears = 0;
    bool focused = false;

    QString DescriptText() const override { return descript; }
    void SetDescriptText(const QString& text) override
    {
        descript = text;
        services_.TriggerChange();
    }
    // What typing in the box does.
    void Type(const QString& text)
    {
        descript = text.left(30);
        services_.TriggerChange();
    }
    void FocusDescript() override { focused = true; }
    void SetLabelPanelSize(int w, int h) override { panelWidth = w, panelHeight = h; }
    void SetLabelShape(TLabelShapeType s) override { shape = s; }
    QString SaveItems() override { return items; }
    void RestoreItems(const QString& objects) override { items = objects; }
    void DeleteAllItems() override { items.clear(); }
    void ClearPositionSelection() override { ++positionClears; }
    void ShowToolsPanelAtDefault() override {}

private:
    FakeServices& services_;
};

class FakeDialogs : public TLibraryDialogs {
public:
    // Label chooser: moves the table as the user would, returns OK or Cancel.
    std::function<bool(sw::xbase::Table&)> chooseLabel = [](sw::xbase::Table&) { return false; };
    // Template chooser: by default the template with this name (empty: Cancel).
    QString templateName;
    QString openedOn; // what the chooser was asked to open on

    bool ChooseLabel(sw::xbase::Table& labels) override { return chooseLabel(labels); }
    std::optional<TTemplateValues> ChooseTemplate(sw::xbase::Table& templates, const QString& current) override;
};

// A scratch data directory holding a copy of the supplied template catalogue.
QString NewDataDirectory(QTemporaryDir& dir, bool withTemplates = true);
// The visible DESCRIPT values in the table's order; the record pointer ends where it was.
QStringList StoredDescriptions(sw::xbase::Table& table);
// Path of a test data file.
QString TestData(const QString& name);
