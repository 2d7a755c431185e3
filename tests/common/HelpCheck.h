#pragma once
// Checks a window's control help: every named control is on the window and has a help text
// (redirects followed), and its Help button's context number has a help page.
#include "ui/ContextHelp.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

inline void ExpectControlHelp(QWidget& window, const QStringList& names)
{
    TODSHelp* help = TODSHelp::Of(&window);
    ASSERT_NE(help, nullptr) << window.objectName().toStdString();
    for (const QString& name : names) {
        SCOPED_TRACE(window.objectName().toStdString() + "." + name.toStdString());
        QWidget* control = window.objectName() == name ? &window : window.findChild<QWidget*>(name);
        EXPECT_NE(control, nullptr) << "no control of that name";
        const TODSHelpData* data = help->Find(name);
        ASSERT_NE(data, nullptr) << "no help";
        EXPECT_FALSE(data->Text.isEmpty());
        EXPECT_FALSE(data->Text.contains(QLatin1String("Windows")));
    }
}

// The help page of a context number in the source tree's help folder.
inline bool HelpPageExists(int context)
{
    return QFileInfo::exists(QStringLiteral(STICKWELL_SOURCE_DIR "/data/help/%1.html").arg(context));
}

// The window's help buttons carry a context number that has its page; returns the numbers.
inline QList<int> ExpectHelpPages(QWidget& window)
{
    QList<int> contexts;
    for (QPushButton* b : window.findChildren<QPushButton*>()) {
        const QVariant c = b->property("helpContext");
        if (!c.isValid())
            continue;
        contexts << c.toInt();
        EXPECT_TRUE(HelpPageExists(c.toInt())) << window.objectName().toStdString() << " page " << c.toInt();
    }
    EXPECT_FALSE(contexts.isEmpty()) << window.objectName().toStdString() << " has no help button";
    return contexts;
}

// Right-clicks a control; the menu that opens (if any) is read into the returned list and its
// last entry chosen, or the menu closed.
inline QStringList RightClickMenu(QWidget* control, QPoint at, bool chooseLast)
{
    QStringList entries;
    QTimer::singleShot(0, [&entries, chooseLast] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* a : menu->actions())
            entries << a->text();
        if (chooseLast) {
            menu->setActiveAction(menu->actions().last());
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, control->mapToGlobal(at));
    QApplication::sendEvent(control, &event);
    QApplication::processEvents();
    return entries;
}
