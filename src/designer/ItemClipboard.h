#pragma once
// Cut, Copy, Paste and Duplicate of the selected item. The clipboard holds the item as item
// description text, in a private type and as plain text, so an item pastes into another label
// (or another running program) and a user can read what was copied. A paste lands one grid step
// (8 pixels without a grid) down and right of the original, a further step for each copy
// already standing there, and stays on the label.
#include <QObject>
#include <QString>

class QMimeData;
class TDesigner;
class TLabelItem;

class TItemClipboard : public QObject {
    Q_OBJECT
public:
    static constexpr const char* MimeType = "application/x-stickwell-items";
    static constexpr int kPasteStep = 8;

    explicit TItemClipboard(TDesigner& designer);

    // The data the clipboard gets for an item text.
    static QMimeData* MimeFor(const QString& itemText);
    // The item text some clipboard data holds: the private type, else plain text whose first
    // line opens a record ("LABELITEM="); empty for anything else.
    static QString ItemTextOf(const QMimeData* data);

    void Cut();
    void Copy();
    void Paste();
    void Duplicate();

    // Creates the items of an item text on the label, offset as a paste is, and selects the
    // last. Returns it, or null when nothing was made (a second counter is refused with the
    // counter message).
    TLabelItem* Place(const QString& itemText);

private:
    QString SelectedText() const;

    TDesigner& designer_;
};
