#pragma once
// Tool drops: dragging a Tools button onto the label creates an item of its kind where the
// drag cursor's top-left corner was. Only drags that come from the tool buttons are accepted.
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

class QMimeData;
class QToolButton;
class TDesigner;
class TLabelItem;

class TToolDrops : public QObject {
    Q_OBJECT
public:
    // The drag's data: this format, holding the button's name.
    static constexpr const char* MimeType = "application/x-stickwell-tool";
    static QMimeData* ToolMime(const QString& buttonName);
    // The tool a drag carries; empty for drags from anything but a tool button.
    static QString ToolName(const QMimeData* data);

    explicit TToolDrops(TDesigner& designer);

    void ConnectPanel();
    void ConnectButtons(const QList<QToolButton*>& dropButtons, QToolButton* cutButton);

    // A press on a drop button starts its drag at once.
    void DropButtonDown(QToolButton* button);
    bool LabelPanelDragOver(const QMimeData* source) const;
    // sender: the item the drop landed on (pos relative to it), or null for the panel itself.
    void LabelPanelDragDrop(TLabelItem* sender, const QString& tool, QPoint pos);
    // The drop as the panel reports it: handled once the platform's drag has ended, so that
    // the dialogs a drop opens do not run inside it.
    void DeferDrop(TLabelItem* sender, const QMimeData* source, QPoint pos);
    void CutObjectButtonClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TDesigner& designer_;
    QList<QToolButton*> buttons_;
};
