#pragma once
// What the main window offers the parts that work for it: its state flags, the change
// notification and command availability, the message boxes, the placing of dialogs and the
// screen's resolution for the pixel/inch conversions. The main window implements it; the label
// library, the designer and the print runs take a reference to it and never include app/.
#include <QChar>
#include <QString>
#include <cstdint>

class QWidget;

struct TWindowState {
    bool FirstActivation = true;   // start-up work still to do; closing asks nothing
    bool StartingUp = true;        // data-change reloads are off during start-up
    bool LoadingLabel = false;     // edits made by a label load do not count as changes
    bool InhibitReload = false;    // data-change reloads are off around scans and dialogs
    bool IsNewLabel = false;       // the label on screen has no record yet
    QChar SavedDecimalSeparator = u'.';
    std::int32_t LastUseRecNo = 0; // record to show at start-up
};

// Sets a state flag for the length of a scope and gives it back its earlier value on every way
// out, errors included: a failed load or scan can never leave reloads off or Save silent.
class TFlagScope {
public:
    TFlagScope(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
    ~TFlagScope() { flag_ = saved_; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

class TWindowServices {
public:
    virtual ~TWindowServices() = default;

    virtual TWindowState& State() = 0;
    // Parent for dialogs and message boxes.
    virtual QWidget* MainWidget() = 0;

    // Marks the label changed: shows Save and Cancel, updates availability.
    // Silent while FirstActivation or LoadingLabel is set.
    virtual void TriggerChange() = 0;
    virtual void ShutOffSaveButtons() = 0;
    virtual void UpdateScreenStatus() = 0;
    // Changes pending: the Save button is visible.
    virtual bool ChangesPending() const = 0;

    virtual void ShowInformation(const QString& text) = 0;
    virtual bool AskYesNo(const QString& text, const QString& caption) = 0;
    virtual bool AskYesNoDefaultNo(const QString& text, const QString& caption) = 0;
    // The plain box: application title as caption, OK button.
    virtual void ShowMessage(const QString& text) = 0;
    virtual void CenterOverMainWindow(QWidget* dialog) = 0;

    // The screen's logical resolution, which all screen-pixel lengths are measured in (the
    // conversions of model/Units.h take it).
    virtual double PixelsPerInch() const = 0;
};
