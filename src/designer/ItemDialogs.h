#pragma once
// The dialogs the designer and the item factories ask the user through. Each call creates its
// dialog, places it, runs it modally and destroys it. Tests put answers in place of the user by
// overriding these.
#include "designer/GetBarcode.h"
#include "model/LabelItem.h"

#include <QString>
#include <functional>

class QWidget;
class TWindowServices;

class TItemDialogs {
public:
    explicit TItemDialogs(TWindowServices* services = nullptr)
        : services_(services)
    {
    }
    virtual ~TItemDialogs() = default;

    // The text query; value is changed only when confirmed.
    virtual bool QueryText(const QString& caption, const QString& prompt, QString& value);
    // The rotation dialog, starting at angle (0..359); preview gets every value while it is
    // open. On OK angle holds the chosen value.
    virtual bool GetAngle(int& angle, const std::function<void(int)>& preview);
    // The symbol chooser preset with code (33..255) and colour.
    virtual bool GetSymbol(int& code, TColor& color);
    // The image browser: the selected file's full path; empty when cancelled or none chosen.
    virtual QString BrowseImage();
    // The counter values dialog; centred over the main window unless atOwnPlace.
    virtual bool GetCounter(int& startingNumber, int& repeatFor, bool atOwnPlace);
    // The font chooser, colour included.
    virtual bool ChooseFont(TItemFont& font);
    // The colour chooser.
    virtual bool ChooseColor(TColor& color);
    // The barcode dialog preset with values; shown says what "{COUNTER}" and "{FIELD}" stand
    // for. On OK the values are ones the code can hold.
    virtual bool GetBarcode(TBarcodeValues& values, const sw::TDataValues& shown);

protected:
    QWidget* Owner() const;
    void Place(QWidget* dialog) const;

    TWindowServices* services_;
};
