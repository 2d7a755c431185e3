#pragma once
// A barcode or 2D code item: data, symbology, the human-readable line, the bars' colour and a
// quarter-turn angle. The code is encoded once per change of what it shows. A square code's box
// stays square: a resize takes the side that changed most.
#include "model/Barcode.h"
#include "model/LabelItem.h"

class TBarcodeItem : public TLabelItem {
public:
    TBarcodeItem();

    sw::TSymbology Symbology() const { return symbology_; }
    void SetSymbology(sw::TSymbology s);
    // As stored: may hold "{COUNTER}" or "{COUNTER:N}".
    const QString& Data() const { return data_; }
    void SetData(const QString& data);
    bool ShowText() const { return showText_; }
    void SetShowText(bool on);
    TColor LineColor() const { return lineColor_; }
    void SetLineColor(TColor color);
    // 0, 90, 180 or 270 (other values go to the nearest quarter turn).
    int Angle() const { return angle_; }
    void SetAngle(int angle);

    // What the code encodes on the panel ("{COUNTER}" as the label's counter starts, or 1
    // without one; "{FIELD}" as the merge source's first record has it), and why it cannot be
    // drawn (empty when it can).
    QString ShownData() const;
    QString Problem() const;

    void SetBounds(int left, int top, int width, int height) override;

    // The box a fresh item of the symbology takes (screen pixels at the given resolution).
    static QSize DefaultSize(sw::TSymbology s, double pixelsPerInch);

protected:
    void DoPaint(QPainter& painter) override;

private:
    void Changed();
    const sw::TBarcode& Code() const;
    sw::TDataValues PanelValues() const;

    sw::TSymbology symbology_ = sw::TSymbology::Code128;
    QString data_;
    bool showText_ = true;
    TColor lineColor_ = 0;
    int angle_ = 0;
    mutable bool encoded_ = false;
    mutable std::optional<QString> shown_; // the data expanded as last encoded
    mutable sw::TBarcode code_;
    mutable QString problem_;
};

class TLabelPanel;

namespace sw {
// The value "{COUNTER}" shows on the design panel: the starting number of the label's counter
// item, or 1 when it has none.
long long PanelCounterStart(const TLabelPanel& panel);
// What placeholders in a code's data show on the design panel: that counter value and the
// panel's merge field values.
TDataValues PanelDataValues(const TLabelPanel& panel);

// Draws a laid-out code with a painter whose units are the layout's (fills and text).
void PaintBarcode(QPainter& painter, const TBarcodeLayout& layout, const QColor& color);
} // namespace sw
