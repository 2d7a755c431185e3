// The main window's control help (the Tools included), and the help pages' links and pictures.
#include "../common/HelpCheck.h"
#include "app/MainWindow.h"
#include "app/ToolsPanel.h"
#include "TestDataDir.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>

TEST(MainWindowHelp, TopBarAndToolsHelpWithEachControl)
{
    TTestDataDir data;
    TKLabelMain w(data.Path());
    ExpectControlHelp(w, {"CancelButton", "CutObjectButton", "Descript", "DropCounterButton", "DropEllipseButton",
                          "DropHLineButton", "DropImageButton", "DropRectButton", "DropRoundRectButton",
                          "DropSymbolButton", "DropTextButton", "DropVLineButton", "ExitButton", "HelpButton",
                          "MoveAll", "PosDownButton", "PosLeftButton", "PosRightButton", "PosUpButton",
                          "PropertiesButton", "SaveButton", "ToolsPanel"});
    EXPECT_EQ(ExpectHelpPages(w), QList<int>{1001});
}

TEST(MainWindowHelp, RightClickOnTheToolsOffersWhatsThis)
{
    TTestDataDir data;
    TKLabelMain w(data.Path());
    w.show();
    w.ToolsPanel->show();
    QApplication::processEvents();
    TODSHelp* help = TODSHelp::Of(&w);
    ASSERT_NE(help, nullptr);
    // On a free spot of the panel, and on one of its buttons.
    for (QWidget* target : {static_cast<QWidget*>(w.ToolsPanel), static_cast<QWidget*>(w.ToolsPanel->DropTextButton)}) {
        const QPoint at(4, target == w.ToolsPanel ? 100 : 4);
        EXPECT_EQ(RightClickMenu(target, at, true), QStringList{"What's this?"}) << target->objectName().toStdString();
        ASSERT_NE(TODSHelpPopup::Existing(), nullptr);
        EXPECT_TRUE(TODSHelpPopup::Existing()->isVisible());
        EXPECT_EQ(TODSHelpPopup::Existing()->Text(), help->Find(target->objectName())->Text);
        TODSHelpPopup::Existing()->hide();
    }
}

TEST(HelpPages, LinksAndPicturesLeadToFilesThatExist)
{
    const QDir dir(QStringLiteral(STICKWELL_SOURCE_DIR "/data/help"));
    const QStringList pages = dir.entryList({"*.html"});
    ASSERT_GE(pages.size(), 10);
    const QRegularExpression ref(QStringLiteral("(?:href|src)=\"([^\"#]*)(#[^\"]*)?\""));
    for (const QString& page : pages) {
        QFile f(dir.filePath(page));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        EXPECT_TRUE(html.contains("<title>")) << page.toStdString();
        EXPECT_FALSE(html.contains("Windows")) << page.toStdString();
        for (auto m = ref.globalMatch(html); m.hasNext();) {
            const QString target = m.next().captured(1);
            if (!target.isEmpty()) {
                EXPECT_TRUE(dir.exists(target)) << page.toStdString() << " -> " << target.toStdString();
            }
        }
    }
    for (int context : {1001, 1011, 1015, 1021, 1023, 1046, 1047, 1049, 2001, 2002})
        EXPECT_TRUE(HelpPageExists(context)) << context;
}
