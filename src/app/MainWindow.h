#pragma once
// The main window: the frame (top bar, design surface, Tools, menus) and the services the other
// parts use. It owns the objects that do the work and forwards its menu and button events to
// them; the work itself lives in library/, designer/ and print/.
#include "app/ScreenStatus.h"
#include "model/PositionSelection.h"
#include "ui/WindowServices.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class TCanvasPanel;
class TDesigner;
class TItemDialogs;
class TLabelItems;
class TLabelLibrary;
class TLabelScreen;
class TMergeSourceCommands;
class TPrintCommands;
class TTiledScrollArea;
class TToolsPanel;

class TKLabelMain : public QMainWindow, public TWindowServices {
    Q_OBJECT
public:
    // dataDir: where the label table, the catalogue and QX.INI live; empty for the program's
    // own choice (ResolveDataDirectory). Tests always pass a directory of their own.
    explicit TKLabelMain(const QString& dataDir = QString(), QWidget* parent = nullptr);
    ~TKLabelMain() override;

    // TWindowServices
    TWindowState& State() override { return state_; }
    QWidget* MainWidget() override { return this; }
    void TriggerChange() override;
    void ShutOffSaveButtons() override;
    void UpdateScreenStatus() override;
    bool ChangesPending() const override;
    void ShowInformation(const QString& text) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    bool AskYesNoDefaultNo(const QString& text, const QString& caption) override;
    void ShowMessage(const QString& text) override;
    void CenterOverMainWindow(QWidget* dialog) override;
    double PixelsPerInch() const override;

    // The state the availability table is computed from.
    sw::ScreenState CurrentScreenState() const;

    // Start-up work on each activation; the first one opens the label table.
    void FormActivate();
    // Shows the Tools at top 60, right-aligned in the client area with 10 pixels to spare.
    void Panel1Click();
    // Sets the design panel's size in label pixels (it keeps its place at 17, 8 in the scroll
    // box and is shown at the designer's zoom).
    void SetLabelPanelSize(int width, int height);

    // Top bar.
    QWidget* Panel1;
    QLabel* DescriptLabel;
    QLineEdit* Descript;
    QPushButton* SaveButton;
    QPushButton* CancelButton;
    QPushButton* HelpButton;
    QToolButton* WhatsThisButton;
    QPushButton* ExitButton;
    // Design surface.
    TTiledScrollArea* ScrollBox1;
    QWidget* ScrollSurface;
    TCanvasPanel* LabelPanel;
    TToolsPanel* ToolsPanel;
    // Item text passes through here on its way to and from the label table.
    QPlainTextEdit* ObjectsHolder;

    // Menus.
    QMenu* mnuFile;
    QAction* mnuSelectLabel;
    QAction* mnuNewLabel;
    QAction* mnuRebuildIndexes;
    QAction* mnuPrintLabels;
    QAction* mnuPreviewLabels;
    QAction* mnuPrinterSetup;
    QAction* mnuCalibratePrinter;
    QAction* mnuSelectSpecificLabels;
    QAction* mnuExit;
    QMenu* mnuEdit;
    QMenu* mnuView;
    QMenu* mnuLabel;
    QAction* mnuDeleteLabel;
    QAction* mnuCloneLabel;
    QAction* mnuConfigureLabel;
    QAction* mnuMergeSource;
    QAction* mnuFieldNames;
    QMenu* mnuGrid;
    QActionGroup* GridGroup;
    QAction* mnuNoSnap;
    QAction* mnuSnap2;
    QAction* mnuSnap4;
    QAction* mnuSnap8;
    QMenu* mnuHelp;
    QAction* mnuHelpContents;
    QAction* mnuHelpAbout;

    // What a print run prints.
    sw::TPositionSelection PositionSelection;

    // The label's items with OrderList, and the designer that edits them (selection handle,
    // tool drops, item commands, nudges, grid).
    std::unique_ptr<TItemDialogs> ItemDialogs;
    std::unique_ptr<TDesigner> Designer;
    std::unique_ptr<TLabelItems> LabelItems;
    // The label table, the label commands and QX.INI.
    std::unique_ptr<TLabelScreen> LibraryScreen;
    std::unique_ptr<TLabelLibrary> Library;
    // Merge Source... and what the design panel shows of the source.
    std::unique_ptr<TMergeSourceCommands> MergeSource;
    // Print Labels, Preview Labels, Printer Setup, Select Specific Labels.
    std::unique_ptr<TPrintCommands> PrintCommands;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildTopBar();
    void BuildSurface();
    void BuildMenus();
    void BuildDesigner();
    void FormCreate();
    void FormResize();
    void mnuHelpAboutClick();

    // The label table's part of start-up and exit.
    void BuildLibrary(const QString& dataDir);
    void BuildPrinting();
    bool LabelTableEmpty() const;
    bool SavePreferences();

    TWindowState state_;
    bool activating_ = false;
};
