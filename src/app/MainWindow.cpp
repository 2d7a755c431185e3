#include "app/MainWindow.h"

#include "app/MainHelp.h"
#include "app/Splash.h"
#include "app/ToolsPanel.h"
#include "designer/CanvasPanel.h"
#include "designer/Designer.h"
#include "library/DataDirectory.h"
#include "library/LabelLibrary.h"
#include "library/LabelScreen.h"
#include "library/MergeSourceCommands.h"
#include "model/ItemText.h"
#include "designer/DialogHelp.h"
#include "designer/ItemDialogs.h"
#include "model/LabelItems.h"
#include "model/StorableText.h"
#include "print/CalibratePrinter.h"
#include "print/PrintCommands.h"
#include "ui/ContextHelp.h"
#include "ui/DialogPlacement.h"
#include "ui/HelpViewer.h"
#include "ui/MessageBoxes.h"
#include "ui/TiledScrollArea.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace {
constexpr int kClientWidth = 602;
constexpr int kClientHeight = 411;
constexpr int kOuterWidth = 610;
constexpr int kOuterHeight = 450;
constexpr int kTopBarHeight = 49;
constexpr int kPanelLeft = 17;
constexpr int kPanelTop = 8;
constexpr int kHelpContext = 1001;
} // namespace

namespace {

// The screen around the label as the label library sees it.
class TMainLabelScreen : public TLabelScreen {
public:
    explicit TMainLabelScreen(TKLabelMain& w) : w_(w) {}

    QString DescriptText() const override { return w_.Descript->text(); }
    void SetDescriptText(const QString& text) override
    {
        // Typing stops at 30 characters; a program edit ("Clone of ...") may go beyond.
        w_.Descript->setMaxLength(std::max(30, int(text.size())));
        w_.Descript->setText(text);
        w_.TriggerChange();
    }
    void FocusDescript() override { w_.Descript->setFocus(); }
    void SetLabelPanelSize(int width, int height) override { w_.SetLabelPanelSize(width, height); }
    void SetLabelShape(TLabelShapeType shape) override { w_.LabelPanel->SetShape(shape); }
    QString SaveItems() override
    {
        QStringList lines;
        sw::SaveItems(*w_.LabelItems, lines);
        const QString text = sw::JoinItemText(lines);
        w_.ObjectsHolder->setPlainText(text);
        return text;
    }
    void RestoreItems(const QString& objects) override
    {
        w_.ObjectsHolder->setPlainText(objects);
        w_.LabelItems->DeleteAllItems();
        QString error;
        const bool ok = sw::REstoreItems(*w_.LabelItems, sw::SplitItemText(objects), &error);
        w_.Designer->ReleaseSelection();
        w_.Designer->LabelLoaded(true);
        if (!ok)
            w_.ShowInformation(error);
    }
    void DeleteAllItems() override
    {
        w_.Designer->ReleaseSelection();
        w_.LabelItems->DeleteAllItems();
        w_.Designer->LabelLoaded(false);
    }
    void ClearPositionSelection() override { w_.PositionSelection.ClearPositionSelection(); }
    void ShowToolsPanelAtDefault() override { w_.Panel1Click(); }

private:
    TKLabelMain& w_;
};

} // namespace

TKLabelMain::TKLabelMain(const QString& dataDir, QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("KLabelMain"));
    setWindowTitle(QStringLiteral("Stickwell"));
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(central);
    BuildTopBar();
    BuildSurface();
    BuildMenus();
    BuildDesigner();
    BuildLibrary(dataDir);
    MakeMainWindowHelp(this);
    FormCreate();
}

TKLabelMain::~TKLabelMain()
{
    Library.reset();
    // Items go before the designer whose event links they hold.
    if (LabelItems)
        LabelItems->DeleteAllItems();
    LabelItems.reset();
    Designer.reset();
}

void TKLabelMain::BuildDesigner()
{
    ItemDialogs = std::make_unique<TItemDialogs>(this);
    Designer = std::make_unique<TDesigner>(*this, *LabelPanel, *ItemDialogs);
    LabelItems = std::make_unique<TLabelItems>(LabelPanel->Model(), *Designer);
    Designer->SetItems(LabelItems.get());
    TDesignerTools tools;
    tools.DropButtons = ToolsPanel->DropButtons();
    tools.PropertiesButton = ToolsPanel->PropertiesButton;
    tools.PosUpButton = ToolsPanel->PosUpButton;
    tools.PosDownButton = ToolsPanel->PosDownButton;
    tools.PosRightButton = ToolsPanel->PosRightButton;
    tools.PosLeftButton = ToolsPanel->PosLeftButton;
    tools.CutObjectButton = ToolsPanel->CutObjectButton;
    tools.MoveAll = ToolsPanel->MoveAll;
    Designer->ConnectTools(tools);
    Designer->ConnectGridMenu(mnuNoSnap, mnuSnap2, mnuSnap4, mnuSnap8);
    mnuEdit = new QMenu(QStringLiteral("&Edit"), this);
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    menuBar()->insertMenu(mnuLabel->menuAction(), mnuEdit);
    Designer->ConnectEditMenu(mnuEdit);
    mnuView = new QMenu(QStringLiteral("&View"), this);
    mnuView->setObjectName(QStringLiteral("mnuView"));
    menuBar()->insertMenu(mnuLabel->menuAction(), mnuView);
    Designer->ConnectViewMenu(mnuView, ScrollBox1);
}

void TKLabelMain::BuildLibrary(const QString& dataDir)
{
    LibraryScreen = std::make_unique<TMainLabelScreen>(*this);
    Library = std::make_unique<TLabelLibrary>(
        *this, *LibraryScreen,
        dataDir.isEmpty() ? sw::library::ResolveDataDirectory(QCoreApplication::applicationDirPath()) : dataDir);
    TLabelCommands& commands = Library->Commands();
    connect(mnuSelectLabel, &QAction::triggered, this, [&commands] { commands.SelectLabel(); });
    connect(mnuNewLabel, &QAction::triggered, this, [&commands] { commands.NewLabel(); });
    connect(mnuDeleteLabel, &QAction::triggered, this, [&commands] { commands.mnuDeleteLabelClick(); });
    connect(mnuCloneLabel, &QAction::triggered, this, [&commands] { commands.mnuCloneLabelClick(); });
    connect(mnuConfigureLabel, &QAction::triggered, this, [&commands] { commands.mnuConfigureLabelClick(); });
    connect(mnuRebuildIndexes, &QAction::triggered, this, [this] { Library->Store().mnuRebuildIndexesClick(); });
    MergeSource = std::make_unique<TMergeSourceCommands>(*this, Library->Store(), LabelPanel->Model());
    mnuView->addSeparator();
    mnuFieldNames = mnuView->addAction(QStringLiteral("&Field Names"));
    mnuFieldNames->setObjectName(QStringLiteral("mnuFieldNames"));
    mnuFieldNames->setCheckable(true);
    connect(mnuMergeSource, &QAction::triggered, this, [this] { MergeSource->mnuMergeSourceClick(); });
    connect(mnuFieldNames, &QAction::toggled, this, [this](bool on) { MergeSource->mnuFieldNamesClick(on); });
    connect(SaveButton, &QPushButton::clicked, this, [&commands] { commands.SaveButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, [&commands] { commands.CancelButtonClick(); });
    BuildPrinting();
}

void TKLabelMain::BuildPrinting()
{
    const auto sheet = [this] {
        const TCurrentLabel& l = Library->Store().CurrentLabel();
        return sw::TSheetLayout{l.NbrAcross, l.NbrDown, l.TopMarg, l.LeftMarg,
                                l.HorizPitch, l.VertPitch, l.PaperSize};
    };
    PrintCommands = std::make_unique<TPrintCommands>(
        *this, PositionSelection, sheet, [this] { return sw::SplitItemText(LibraryScreen->SaveItems()); });
    TPrintCommands& p = *PrintCommands;
    p.MergeSource = [this] {
        return TPrintCommands::TLabelMergeSource{Library->Store().CurrentLabel().MergeSource,
                                                 Library->Store().DataDirectory()};
    };
    connect(mnuPrintLabels, &QAction::triggered, this, [&p] { p.mnuPrintLabelsClick(); });
    connect(mnuPreviewLabels, &QAction::triggered, this, [&p] { p.mnuPreviewClick(); });
    connect(mnuPrinterSetup, &QAction::triggered, this, [&p] { p.mnuPrinterSetupClick(); });
    connect(mnuSelectSpecificLabels, &QAction::triggered, this, [&p] { p.mnuSelectSpecificLabelsClick(); });
    sw::TRPDevice::Shared().SetSettingsFile(Library->PreferencesPath());
    connect(mnuCalibratePrinter, &QAction::triggered, this,
            [this] { sw::TCalibratePrinter::mnuCalibratePrinterClick(*this, sw::TRPDevice::Shared()); });
}

void TKLabelMain::BuildTopBar()
{
    Panel1 = new QWidget(centralWidget());
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);
    Panel1->installEventFilter(this);

    DescriptLabel = new QLabel(QStringLiteral("Current label description:"), Panel1);
    DescriptLabel->adjustSize();
    DescriptLabel->move(8, 18);
    const int descriptLeft = DescriptLabel->width() + 14;

    Descript = new QLineEdit(Panel1);
    Descript->setObjectName(QStringLiteral("Descript"));
    Descript->setMaxLength(30);
    Descript->setGeometry(descriptLeft, 13, 190, 23);
    DescriptLabel->setBuddy(Descript);
    // DESCRIPT keeps Windows-1252: what it cannot hold is refused as it is typed.
    auto* storable = new sw::TStorableTextValidator(Descript);
    storable->Refused = [this](const QString& c) { ShowInformation(sw::UnstorableMessage(c)); };
    Descript->setValidator(storable);
    // Typing in the description is a change of the label.
    connect(Descript, &QLineEdit::textEdited, this, [this] {
        // Back within 30 characters after a longer program edit: typing is limited again.
        if (Descript->text().size() <= 30)
            Descript->setMaxLength(30);
        TriggerChange();
    });

    int left = descriptLeft + 196;
    auto button = [this, &left](const char* name, const QString& caption, int width) {
        auto* b = new QPushButton(caption, Panel1);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(left, 12, width, 25);
        left += width + 4;
        return b;
    };
    SaveButton = button("SaveButton", QStringLiteral("&Save"), 52);
    CancelButton = button("CancelButton", QStringLiteral("&Cancel"), 56);
    HelpButton = button("HelpButton", QStringLiteral("&Help"), 48);
    HelpButton->setProperty("helpContext", kHelpContext);
    WhatsThisButton = sw::MakeMouseHelpButton(this);
    WhatsThisButton->setParent(Panel1);
    WhatsThisButton->setGeometry(left, 12, 25, 25);
    left += 29;
    ExitButton = button("ExitButton", QStringLiteral("E&xit"), 46);
    SaveButton->hide();
    CancelButton->hide();

    connect(HelpButton, &QPushButton::clicked, this, [this] { sw::ShowHelp(this, kHelpContext); });
    connect(ExitButton, &QPushButton::clicked, this, &QWidget::close);
}

void TKLabelMain::BuildSurface()
{
    ScrollBox1 = new TTiledScrollArea(centralWidget());
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollSurface = new QWidget;
    ScrollSurface->setObjectName(QStringLiteral("ScrollSurface"));
    ScrollSurface->setAutoFillBackground(false);
    LabelPanel = new TCanvasPanel(ScrollSurface);
    LabelPanel->setObjectName(QStringLiteral("LabelPanel"));
    LabelPanel->move(kPanelLeft, kPanelTop);
    LabelPanel->hide();
    // The surface follows the panel's size on screen (label size and zoom).
    connect(LabelPanel, &TCanvasPanel::ViewResized, ScrollSurface, [this] {
        ScrollSurface->resize(kPanelLeft * 2 + LabelPanel->width(), kPanelTop * 2 + LabelPanel->height());
    });
    SetLabelPanelSize(240, 96);
    ScrollBox1->setWidget(ScrollSurface);

    ObjectsHolder = new QPlainTextEdit(centralWidget());
    ObjectsHolder->setObjectName(QStringLiteral("ObjectsHolder"));
    ObjectsHolder->hide();

    ToolsPanel = new TToolsPanel(centralWidget());
    ToolsPanel->move(380, 53);
    ToolsPanel->hide();
    ToolsPanel->raise();
}

void TKLabelMain::SetLabelPanelSize(int width, int height)
{
    LabelPanel->SetLabelSize(width, height);
}

void TKLabelMain::BuildMenus()
{
    QMenuBar* bar = menuBar();
    auto add = [this](QMenu* menu, const QString& caption, const char* name) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };

    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuSelectLabel = add(mnuFile, QStringLiteral("&Select Label"), "mnuSelectLabel");
    mnuNewLabel = add(mnuFile, QStringLiteral("&New Label"), "mnuNewLabel");
    mnuFile->addSeparator();
    mnuRebuildIndexes = add(mnuFile, QStringLiteral("&Rebuild Indexes"), "mnuRebuildIndexes");
    mnuFile->addSeparator();
    mnuPrintLabels = add(mnuFile, QStringLiteral("&Print Labels"), "mnuPrintLabels");
    mnuPreviewLabels = add(mnuFile, QStringLiteral("Pre&view Labels"), "mnuPreviewLabels");
    mnuPrinterSetup = add(mnuFile, QStringLiteral("P&rinter Setup"), "mnuPrinterSetup");
    mnuCalibratePrinter = add(mnuFile, QStringLiteral("&Calibrate Printer..."), "mnuCalibratePrinter");
    mnuSelectSpecificLabels = add(mnuFile, QStringLiteral("Select Specific &Labels"), "mnuSelectSpecificLabels");
    mnuFile->addSeparator();
    mnuExit = add(mnuFile, QStringLiteral("&Exit"), "mnuExit");
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);

    mnuLabel = bar->addMenu(QStringLiteral("&Label"));
    mnuLabel->setObjectName(QStringLiteral("mnuLabel"));
    mnuDeleteLabel = add(mnuLabel, QStringLiteral("&Delete Label"), "mnuDeleteLabel");
    mnuCloneLabel = add(mnuLabel, QStringLiteral("&Clone Label"), "mnuCloneLabel");
    mnuConfigureLabel = add(mnuLabel, QStringLiteral("Con&figure Label"), "mnuConfigureLabel");
    mnuLabel->addSeparator();
    mnuMergeSource = add(mnuLabel, QStringLiteral("&Merge Source..."), "mnuMergeSource");

    mnuGrid = bar->addMenu(QStringLiteral("&Grid"));
    mnuGrid->setObjectName(QStringLiteral("mnuGrid"));
    GridGroup = new QActionGroup(this);
    mnuNoSnap = add(mnuGrid, QStringLiteral("&No Snap to Grid"), "mnuNoSnap");
    mnuSnap2 = add(mnuGrid, QStringLiteral("Snap to &2 x 2 Grid"), "mnuSnap2");
    mnuSnap4 = add(mnuGrid, QStringLiteral("Snap to &4 x 4 Grid"), "mnuSnap4");
    mnuSnap8 = add(mnuGrid, QStringLiteral("Snap to &8 x 8 Grid"), "mnuSnap8");
    for (QAction* a : {mnuNoSnap, mnuSnap2, mnuSnap4, mnuSnap8}) {
        a->setCheckable(true);
        GridGroup->addAction(a);
    }
    mnuNoSnap->setChecked(true);

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpContents = add(mnuHelp, QStringLiteral("&Contents"), "mnuHelpContents");
    mnuHelpAbout = add(mnuHelp, QStringLiteral("&About"), "mnuHelpAbout");
    connect(mnuHelpContents, &QAction::triggered, this, [this] { sw::ShowHelp(this, kHelpContext); });
    connect(mnuHelpAbout, &QAction::triggered, this, &TKLabelMain::mnuHelpAboutClick);
}

void TKLabelMain::FormCreate()
{
    state_.StartingUp = true;
    state_.SavedDecimalSeparator = QLocale().decimalPoint().isEmpty() ? QChar(u'.')
                                                                      : QLocale().decimalPoint().at(0);
    state_.FirstActivation = true;
    state_.LoadingLabel = false;
    state_.InhibitReload = false;

    const int menuHeight = menuBar()->sizeHint().height();
    resize(kClientWidth, kClientHeight + menuHeight);
    const QRect screenRect = screen() ? screen()->geometry() : QRect(0, 0, 1024, 768);
    if (screenRect.width() == 640 && screenRect.height() == 480)
        move(0, 0);
    else
        move(screenRect.x() + (screenRect.width() - kOuterWidth) / 2,
             screenRect.y() + (screenRect.height() - kOuterHeight) / 2);
}

bool TKLabelMain::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        QTimer::singleShot(0, this, &TKLabelMain::FormActivate);
    return QMainWindow::event(e);
}

bool TKLabelMain::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Panel1 && e->type() == QEvent::MouseButtonPress)
        Panel1Click();
    return QMainWindow::eventFilter(watched, e);
}

void TKLabelMain::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    // Platforms without window activation (offscreen) still get their first activation.
    if (state_.FirstActivation)
        QTimer::singleShot(0, this, &TKLabelMain::FormActivate);
}

void TKLabelMain::FormActivate()
{
    if (activating_)
        return;
    activating_ = true;
    update();
    const bool first = state_.FirstActivation;
    // Re-reads QX.INI; the first time also opens the label table and shows the last label.
    if (!Library->FormActivate()) {
        activating_ = false;
        close(); // FirstActivation is still set: no questions
        return;
    }
    if (first)
        UpdateScreenStatus();
    activating_ = false;
}

void TKLabelMain::closeEvent(QCloseEvent* e)
{
    if (state_.FirstActivation) {
        e->accept();
        return;
    }
    if (ChangesPending()) {
        ShowInformation(QStringLiteral("You must first save or cancel your changes"));
        e->ignore();
        return;
    }
    if (!AskYesNo(QStringLiteral("Exit program?"), QStringLiteral("Exit"))) {
        e->ignore();
        return;
    }
    if (!SavePreferences()) {
        e->ignore();
        return;
    }
    e->accept();
}

void TKLabelMain::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    const int w = centralWidget()->width();
    const int h = centralWidget()->height();
    Panel1->setGeometry(0, 0, w, kTopBarHeight);
    ScrollBox1->setGeometry(0, kTopBarHeight, w, h - kTopBarHeight);
    FormResize();
}

void TKLabelMain::FormResize()
{
    if (!isMaximized() || !screen())
        return;
    const QRect full = screen()->availableGeometry();
    if (height() > full.height()) {
        resize(width(), full.height());
        move(x(), 0);
    } else if (width() > full.width()) {
        resize(full.width(), height());
        move(0, y());
    }
}

void TKLabelMain::Panel1Click()
{
    ToolsPanel->move(centralWidget()->width() - ToolsPanel->width() - 10, 60);
    ToolsPanel->raise();
}

void TKLabelMain::mnuHelpAboutClick()
{
    TSplashform about(this);
    CenterOverMainWindow(&about);
    about.ShowOkButton();
    about.exec();
}

// ---- services ----

void TKLabelMain::TriggerChange()
{
    if (state_.FirstActivation || state_.LoadingLabel)
        return;
    SaveButton->show();
    CancelButton->show();
    UpdateScreenStatus();
}

void TKLabelMain::ShutOffSaveButtons()
{
    SaveButton->hide();
    CancelButton->hide();
}

bool TKLabelMain::ChangesPending() const
{
    return !SaveButton->isHidden();
}

sw::ScreenState TKLabelMain::CurrentScreenState() const
{
    sw::ScreenState s;
    s.TableEmpty = LabelTableEmpty();
    s.IsNewLabel = state_.IsNewLabel;
    s.SaveVisible = ChangesPending();
    return s;
}

void TKLabelMain::UpdateScreenStatus()
{
    const sw::ScreenStatus st = sw::ComputeScreenStatus(CurrentScreenState());
    LabelPanel->setVisible(st.DesignPanelsVisible);
    ToolsPanel->setVisible(st.DesignPanelsVisible);
    if (st.DesignPanelsVisible)
        ToolsPanel->raise();
    ExitButton->setVisible(st.ExitButtonVisible);
    mnuSelectLabel->setEnabled(st.SelectAndNewEnabled);
    mnuNewLabel->setEnabled(st.SelectAndNewEnabled);
    mnuLabel->setEnabled(st.LabelMenuEnabled);
    mnuLabel->menuAction()->setEnabled(st.LabelMenuEnabled);
    mnuDeleteLabel->setEnabled(st.LabelMenuEnabled);
    mnuCloneLabel->setEnabled(st.LabelMenuEnabled);
    mnuConfigureLabel->setEnabled(st.LabelMenuEnabled);
    mnuMergeSource->setEnabled(st.LabelMenuEnabled);
    mnuPrintLabels->setEnabled(st.PrintPreviewEnabled);
    mnuPreviewLabels->setEnabled(st.PrintPreviewEnabled);
    mnuRebuildIndexes->setEnabled(st.RebuildIndexesEnabled);
}

void TKLabelMain::ShowInformation(const QString& text)
{
    sw::ShowInformation(this, text);
}

bool TKLabelMain::AskYesNo(const QString& text, const QString& caption)
{
    return sw::AskYesNo(this, text, caption);
}

bool TKLabelMain::AskYesNoDefaultNo(const QString& text, const QString& caption)
{
    return sw::AskYesNoDefaultNo(this, text, caption);
}

void TKLabelMain::ShowMessage(const QString& text)
{
    sw::ShowMessage(this, text);
}

void TKLabelMain::CenterOverMainWindow(QWidget* dialog)
{
    sw::CenterOverWindow(dialog, this);
}

double TKLabelMain::PixelsPerInch() const
{
    // One resolution for the whole run: the design panel's, taken from the screen when it was
    // made, so that the window's conversions and the panel's drawing always agree.
    return LabelPanel->Model().PixelsPerInch();
}

// ---- the label table's part (the label store plugs in here) ----

bool TKLabelMain::LabelTableEmpty() const
{
    return !Library || !Library->Store().HasCurrentRecord();
}

bool TKLabelMain::SavePreferences()
{
    return Library->SavePreferences();
}
