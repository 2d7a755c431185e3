#pragma once
// A designer on an offscreen design panel with scripted dialog answers and counted services.
#include "designer/CanvasPanel.h"
#include "designer/Designer.h"
#include "designer/ItemDialogs.h"
#include "model/LabelItems.h"
#include "model/LabelPanel.h"
#include "ui/WindowServices.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>
#include <QWidget>
#include <optional>

class FakeServices : public TWindowServices {
public:
    TWindowState& State() override { return state; }
    QWidget* MainWidget() override { return nullptr; }
    void TriggerChange() override { ++changes; }
    void ShutOffSaveButtons() override {}
    void UpdateScreenStatus() override {}
    bool ChangesPending() const override { return changes > 0; }
    void ShowInformation(const QString& text) override { messages << text; }
    bool AskYesNo(const QString&, const QString&) override { return true; }
    bool AskYesNoDefaultNo(const QString&, const QString&) override { return false; }
    void ShowMessage(const QString& text) override { messages << text; }
    void CenterOverMainWindow(QWidget*) override {}
    double PixelsPerInch() const override { return 96.0; }

    TWindowState state;
    int changes = 0;
    QStringList messages;
};

// Answers instead of the user; an empty answer cancels.
class FakeDialogs : public TItemDialogs {
public:
    bool QueryText(const QString&, const QString&, QString& value) override
    {
        ++asked;
        if (!text)
            return false;
        value = *text;
        return true;
    }
    bool GetAngle(int& a, const std::function<void(int)>& preview) override
    {
        ++asked;
        angleShown = a;
        for (int v : previewAngles)
            preview(v);
        if (!angle)
            return false;
        a = *angle;
        return true;
    }
    bool GetSymbol(int& code, TColor& color) override
    {
        ++asked;
        if (!symbol)
            return false;
        code = symbol->first;
        color = symbol->second;
        return true;
    }
    QString BrowseImage() override
    {
        ++asked;
        return image;
    }
    bool GetCounter(int& start, int& repeat, bool) override
    {
        ++asked;
        counterShown = {start, repeat};
        if (!counter)
            return false;
        start = counter->first;
        repeat = counter->second;
        return true;
    }
    bool ChooseFont(TItemFont& f) override
    {
        ++asked;
        if (!font)
            return false;
        f = *font;
        return true;
    }
    bool ChooseColor(TColor& c) override
    {
        ++asked;
        if (!color)
            return false;
        c = *color;
        return true;
    }

    int asked = 0;
    std::optional<QString> text;
    std::optional<int> angle;
    std::vector<int> previewAngles;
    int angleShown = -1;
    std::optional<std::pair<int, TColor>> symbol;
    QString image;
    std::optional<std::pair<int, int>> counter;
    std::pair<int, int> counterShown;
    std::optional<TItemFont> font;
    std::optional<TColor> color;
};

struct DesignerFixture {
    DesignerFixture()
        : panel(&window, 96)
        , designer(services, panel, dialogs)
        , items(panel.Model(), designer)
    {
        designer.SetItems(&items);
        window.resize(400, 300);
        panel.setGeometry(0, 0, 300, 200);
        window.show();
    }
    TMoShape* Rect(int left, int top, int w = 0, int h = 0, TColor fill = 0, int style = 1)
    {
        return items.CreateShapeItem(0, top, left, w, h, fill, 0, 1, 0, style);
    }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { Send(&panel, QEvent::MouseButtonPress, p, b, b); }
    static void Send(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }

    QWidget window;
    FakeServices services;
    FakeDialogs dialogs;
    TCanvasPanel panel;
    TDesigner designer;
    TLabelItems items;
};
