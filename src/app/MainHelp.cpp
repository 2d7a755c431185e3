#include "app/MainHelp.h"

#include "ui/ContextHelp.h"

namespace {
TODSHelpItem Item(const char* name, const char* text)
{
    return {QLatin1String(name), {QString::fromUtf8(text)}};
}

TODSHelpItem Drop(const char* name, const char* what)
{
    return {QLatin1String(name),
            {QStringLiteral("Drag this onto the label and let go where %1 should stand").arg(QString::fromUtf8(what))}};
}

TODSHelpItem Nudge(const char* name, const char* way)
{
    return {QLatin1String(name),
            {QStringLiteral("Click here to move the highlighted item %1 by one pixel (with Move All ticked: every "
                            "item). Hold the button down to keep moving")
                 .arg(QLatin1String(way))}};
}
} // namespace

TODSHelp* MakeMainWindowHelp(QWidget* mainWindow)
{
    return new TODSHelp(mainWindow, {
        Item("CancelButton", "Click here to cancel changes made to this label"),
        Item("CutObjectButton", "Click here to delete the currently highlighted item on the label"),
        Item("Descript", "The description of the label on screen. Type here to change it; Save keeps the "
                         "new description with the label"),
        Drop("DropBarcodeButton", "a barcode or 2D code (QR Code, Data Matrix, ...); it may carry the counter"),
        Drop("DropCounterButton", "a number that counts up from label to label as the sheets are printed"),
        Drop("DropEllipseButton", "an ellipse (or a circle)"),
        Drop("DropHLineButton", "a horizontal line"),
        Drop("DropImageButton", "a picture from a file"),
        Drop("DropRectButton", "a rectangle"),
        Drop("DropRoundRectButton", "a rectangle with rounded corners"),
        Drop("DropSymbolButton", "a symbol, such as a telephone, an arrow or a check mark"),
        Drop("DropTextButton", "a line of text"),
        Drop("DropVLineButton", "a vertical line"),
        Item("ExitButton", "Click here to leave the program. It remembers the label you were on"),
        Item("HelpButton", "Click here to read the help page for this window"),
        Item("MoveAll", "Tick this to make the arrow buttons move every item on the label together, "
                        "instead of only the highlighted one"),
        Nudge("PosDownButton", "down"),
        Nudge("PosLeftButton", "to the left"),
        Nudge("PosRightButton", "to the right"),
        Nudge("PosUpButton", "up"),
        Item("PropertiesButton", "Click here for the menu of the highlighted item: its text, font and colours, "
                                 "lines and fill, rotation, order and alignment"),
        Item("SaveButton", "Click here to save changes made to this label"),
        Item("ToolsPanel", "The Tools: drag a tool onto the label to add an item; the buttons below the line "
                           "change the highlighted item. Drag the panel by a free spot to move it; the small "
                           "button in its title rolls it up and down"),
    });
}
