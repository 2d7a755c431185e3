#include "print/LabelRun.h"

#include "model/Placeholders.h"
#include "model/Symbols.h"
#include "report/RPBase.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace sw {

TLabelRun::TLabelRun(const TSheetLayout& sheet, const TPositionSelection& positions, int pageCount,
                     const QStringList& itemText)
    : sheet_(sheet), positions_(positions), pageCount_(pageCount), itemText_(itemText)
{
}

void TLabelRun::ReadItems()
{
    if (read_)
        return;
    lastItemIndex_ = MakeItemsStringList(itemText_, items_);
    if (merge_)
        CheckMergeRun(*merge_, items_);
    pictures_.assign(items_.Items.size(), PictureSlot{});
    barcodes_.assign(items_.Items.size(), BarcodeSlot{});
    counterItems_ = 0;
    for (int i = 0; i <= lastItemIndex_; ++i)
        if (items_.Items[std::size_t(i)].ItemKind == ikCounter)
            ++counterItems_;
    CheckBarcodes();
    read_ = true;
}

int TLabelRun::SheetsToPrint() const
{
    // A merge run goes on until every record has its labels.
    if (merge_)
        return merge_->FirstSheetOnly ? 1 : merge_->SheetsNeeded(PositionsPerSheet(sheet_, positions_));
    return pageCount_;
}

template <typename F> void TLabelRun::ForEachLabel(F&& f)
{
    std::int64_t left = merge_ ? merge_->Labels() : -1;
    const int sheets = SheetsToPrint();
    for (int s = 0; s < sheets; ++s)
        for (int r = 0; r < sheet_.NbrDown; ++r)
            for (int c = 0; c < sheet_.NbrAcross; ++c)
                if (positions_.Prints(r, c, sheet_.NbrAcross)) {
                    if (left == 0)
                        return;
                    if (left > 0)
                        --left;
                    f(s, r, c);
                }
}

void TLabelRun::CheckBarcodes()
{
    // The counter runs through the whole job here as it will when printing, so a value that
    // outgrows its code stops the run before the first label.
    std::vector<std::size_t> counted, fixed;
    for (int i = 0; i <= lastItemIndex_; ++i) {
        const TLabelItemObject& it = items_.Items[std::size_t(i)];
        if (it.ItemKind == ikBarcode)
            (HasPlaceholders(it.Data) ? counted : fixed).push_back(std::size_t(i));
    }
    if (counted.empty() && fixed.empty())
        return;
    const auto refuse = [](int sheet, int row, int column, const QString& value, const QString& why) {
        throw EBarcodeData(QStringLiteral("The code on sheet %1, row %2, column %3 cannot hold \"%4\": %5")
                               .arg(sheet + 1).arg(row + 1).arg(column + 1).arg(value, why));
    };
    bool any = false;
    int firstSheet = 0, firstRow = 0, firstColumn = 0;
    ForEachLabel([&](int s, int r, int c) {
        if (!any) {
            any = true;
            firstSheet = s, firstRow = r, firstColumn = c;
        }
    });
    if (!any)
        return;
    QString why;
    for (std::size_t i : fixed) {
        const TLabelItemObject& it = items_.Items[i];
        if (!CheckBarcode(it.Symbology, it.Data, &why))
            refuse(firstSheet, firstRow, firstColumn, it.Data, why);
    }
    if (counted.empty())
        return;
    const std::int64_t savedValue = counterValue_, savedRepeat = repeatCount_;
    counterValue_ = items_.StartingNumber;
    repeatCount_ = 1;
    std::int64_t ordinal = 0;
    // Verdicts by check key: serial numbers of one length are checked once.
    std::vector<QSet<QString>> passed(counted.size());
    const QStringList* savedRecord = record_;
    ForEachLabel([&](int s, int r, int c) {
        const std::int64_t value = counterItems_ > 0 ? counterValue_ : ordinal + 1;
        if (merge_)
            record_ = &merge_->Data.Records[std::size_t(merge_->Records[std::size_t(ordinal / merge_->Copies)])];
        for (std::size_t k = 0; k < counted.size(); ++k) {
            const TLabelItemObject& it = items_.Items[counted[k]];
            const std::optional<QString> data = BarcodeData(it.Data, value, &why);
            if (!data)
                refuse(s, r, c, it.Data, why);
            const QString key = CheckKey(it.Symbology, *data);
            if (passed[k].contains(key))
                continue;
            if (!CheckBarcode(it.Symbology, *data, &why))
                refuse(s, r, c, *data, why);
            passed[k].insert(key);
        }
        ++ordinal;
        for (int n = 0; n < counterItems_; ++n)
            AdvanceCounter();
    });
    counterValue_ = savedValue;
    repeatCount_ = savedRepeat;
    record_ = savedRecord;
}

std::optional<QString> TLabelRun::BarcodeData(const QString& data, std::int64_t counter, QString* why) const
{
    TDataValues values{counter, {}};
    if (merge_ && record_)
        values.Field = [this](const QString& name) -> std::optional<QString> {
            const int f = merge_->Data.FieldIndex(name);
            if (f < 0 || f >= record_->size())
                return std::nullopt;
            return (*record_)[f];
        };
    return ExpandBarcodeData(data, values, why);
}

void TLabelRun::ApplyPaper(TBaseReport& report, const TSheetLayout& sheet)
{
    const TPaperChoice paper = PaperChoiceFor(sheet.PaperSize);
    if (paper.Code != 0)
        report.SetPaper(paper.Code, 0, 0);
    report.SetOrientation(paper.Landscape ? poLandScape : poPortrait);
}

int TLabelRun::PositionsPerSheet(const TSheetLayout& sheet, const TPositionSelection& positions)
{
    int n = 0;
    for (int r = 0; r < sheet.NbrDown; ++r)
        for (int c = 0; c < sheet.NbrAcross; ++c)
            n += positions.Prints(r, c, sheet.NbrAcross) ? 1 : 0;
    return n;
}

void TLabelRun::PrintLabels(TBaseReport& report)
{
    ReadItems();
    counterValue_ = items_.StartingNumber;
    repeatCount_ = 1;
    labelsDrawn_ = 0;
    std::int64_t mergeLabel = 0;
    const int sheets = SheetsToPrint();
    record_ = nullptr;
    for (int s = 0; s < sheets && !cancelled_; ++s) {
        for (int r = 0; r < sheet_.NbrDown && !cancelled_; ++r) {
            for (int c = 0; c < sheet_.NbrAcross && !cancelled_; ++c) {
                if (!positions_.Prints(r, c, sheet_.NbrAcross))
                    continue;
                if (merge_) {
                    if (mergeLabel >= merge_->Labels())
                        break;
                    const int record = merge_->Records[std::size_t(mergeLabel / merge_->Copies)];
                    record_ = &merge_->Data.Records[std::size_t(record)];
                    ++mergeLabel;
                }
                // Every item position is absolute on the paper: the label's corner plus the item's.
                report.SetOriginX(c * sheet_.HorizPitch + sheet_.LeftMarg);
                report.SetOriginY(sheet_.TopMarg + r * sheet_.VertPitch);
                report.HomeCursor();
                report.ResetSection();
                labelCounter_ = counterItems_ > 0 ? counterValue_ : labelsDrawn_ + 1;
                PrintSingleLabel(report, lastItemIndex_);
                ++labelsDrawn_;
                if (AfterLabel)
                    AfterLabel(s);
            }
        }
        if (s + 1 < sheets && !cancelled_)
            report.NextPage();
    }
}

void TLabelRun::AdvanceCounter()
{
    ++repeatCount_;
    if (repeatCount_ > items_.RepeatEach) {
        repeatCount_ = 1;
        ++counterValue_;
    }
}

void TLabelRun::DrawText(TBaseReport& r, const TLabelItemObject& it, const QString& text)
{
    const int angle = it.Angle < 0 ? it.Angle + 360 : it.Angle;
    r.SelectFont(it.FontName, it.FontSize);
    r.SetBold(it.FontBold);
    r.SetItalic(it.FontItalic);
    r.SetUnderline(it.FontUnder);
    r.SetFontRotation(angle);
    r.SetFontColor(it.FontColor);
    r.SetTextAnchor(taTop);
    r.RefreshFontMetrics();
    const double a = r.FontAscent(), d = r.FontDescent();
    const double x = it.Left + it.RelativeX, y = it.Top + it.RelativeY + a + d / 2;
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        r.MoveCursor(x, y);
        r.PrintText(text);
    } else {
        // A field with line breaks (an address) prints its lines one below the other, "below"
        // turning with the text.
        static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
        const QStringList lines = text.split(breaks);
        const double step = a + d, rad = angle * M_PI / 180.0;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            r.MoveCursor(x + i * step * std::sin(rad), y + i * step * std::cos(rad));
            r.PrintText(lines[i]);
        }
    }
    r.SetFontRotation(0);
}

void TLabelRun::DrawCounter(TBaseReport& r, const TLabelItemObject& it)
{
    r.SelectFont(it.FontName, it.FontSize);
    // Counters print in the style the design panel shows them in.
    r.SetBold(it.FontBold);
    r.SetItalic(it.FontItalic);
    r.SetUnderline(it.FontUnder);
    r.SetFontRotation(it.Angle);
    r.SetFontColor(it.FontColor);
    r.SetTextAnchor(taTop);
    r.PrintTextAt(QString::number(counterValue_), it.Left + it.RelativeX,
                  it.Top + it.RelativeY + r.FontHeightInches());
    r.SetFontRotation(0);
    AdvanceCounter();
}

void TLabelRun::DrawSymbol(TBaseReport& r, const TLabelItemObject& it)
{
    // The glyph the design panel shows: the Wingdings font when one is installed, else the
    // code's Unicode counterpart in a font that has it.
    const int code = it.AsciiChar;
    const QString text = SymbolText(code);
    r.SelectFont(text.isEmpty() ? QString::fromLatin1(kSymbolFontName) : SymbolFontFor(code, 12).family(),
                 it.FontSize);
    r.SetFontColor(it.FontColor);
    r.SetTextAnchor(taTop);
    r.RefreshFontMetrics();
    if (!text.isEmpty()) {
        r.PrintTextAt(text, it.Left, it.Top + r.FontHeightInches());
        return;
    }
    if (code != kLastSymbolCode)
        return;
    const QRectF cell(it.Left, it.Top, r.FontHeightInches(), r.FontAscent() + r.FontDescent());
    r.ChoosePen(it.FontColor, psClear, 0, pmCopy);
    r.ChooseBrush(it.FontColor, bsSolid);
    for (const QRectF& pane : WindowLogoPanes(cell))
        r.DrawRectangle(pane.left(), pane.top(), pane.right(), pane.bottom());
}

void TLabelRun::DrawPicture(TBaseReport& r, std::size_t index, const TLabelItemObject& it)
{
    // The kind by the name, as the print reader has always told it: PNG and JPEG pictures go
    // as bitmaps, SVG drawings as vectors beside the metafiles.
    const QString path = it.FileNameAndPath.toUpper();
    const auto named = [&path](std::initializer_list<const char*> extensions) {
        for (const char* e : extensions)
            if (path.contains(QLatin1String(e)))
                return true;
        return false;
    };
    const bool bitmap = named({".BMP", ".PNG", ".JPG", ".JPEG"});
    if (!bitmap && !named({".WMF", ".SVG"}))
        return;
    PictureSlot& slot = pictures_[index];
    if (!slot.tried) {
        slot.tried = true;
        // A missing or unreadable picture leaves the item out; the run goes on.
        slot.picture = Picture::Load(it.FileNameAndPath);
    }
    if (slot.picture.isNull())
        return;
    // Always stretched into the item's box.
    if (bitmap)
        r.DrawBitmap(it.Left, it.Top, it.Left + it.Width, it.Top + it.Height, slot.picture);
    else
        r.DrawGraphic(r.InchRectToDevice(it.Left, it.Top, it.Left + it.Width, it.Top + it.Height),
                      slot.picture);
}

void TLabelRun::DrawBarcode(TBaseReport& r, std::size_t index, const TLabelItemObject& it)
{
    BarcodeSlot& slot = barcodes_[index];
    const std::optional<QString> data = BarcodeData(it.Data, labelCounter_);
    // Checked before the run: a code that does not encode now is left out, never drawn wrong.
    if (!data)
        return;
    if (!slot.encoded || slot.data != *data) {
        slot.encoded = true;
        slot.data = *data;
        slot.code = EncodeBarcode(it.Symbology, *data, it.ShowText);
    }
    if (slot.code.IsNull())
        return;
    const TBarcodeLayout layout = LayOutBarcode(slot.code, QSizeF(it.Width, it.Height), it.Angle);
    r.ChoosePen(it.LineColor, psClear, 0, pmCopy);
    r.ChooseBrush(it.LineColor, bsSolid);
    for (const QRectF& b : layout.Bars)
        r.FillRect(it.Left + b.left(), it.Top + b.top(), it.Left + b.right(), it.Top + b.bottom());
    if (layout.Texts.empty())
        return;
    r.SetBold(false);
    r.SetItalic(false);
    r.SetUnderline(false);
    r.SetFontColor(it.LineColor);
    r.SetTextAnchor(taBaseline);
    for (const TBarcodeText& t : layout.Texts) {
        // The layout's sizes are inches like its positions; fonts take points.
        r.SelectFont(QStringLiteral("Arial"), t.Size * 72.0);
        r.SetFontRotation(t.Angle);
        const double x = it.Left + t.Pos.x(), y = it.Top + t.Pos.y();
        r.MoveCursor(x, y);
        if (t.Align == 1)
            r.PrintText(t.Text);
        else if (t.Align == 2)
            r.PrintRight(t.Text, x);
        else
            r.PrintCenter(t.Text, x);
    }
    r.SetFontRotation(0);
}

void TLabelRun::PrintSingleLabel(TBaseReport& r, int lastItemIndex)
{
    const int last = std::min(lastItemIndex, int(items_.Items.size()) - 1);
    for (int i = 0; i <= last; ++i) {
        const TLabelItemObject& it = items_.Items[std::size_t(i)];
        const double right = it.Left + it.Width, bottom = it.Top + it.Height;
        switch (it.ItemKind) {
        case ikText:
            DrawText(r, it, merge_ && record_ ? MergeText(it.Text, merge_->Data, *record_) : it.Text);
            break;
        case ikCounter: DrawCounter(r, it); break;
        case ikSymbol: DrawSymbol(r, it); break;
        case ikRectangle:
        case ikRoundRectangle:
        case ikEllipse:
            r.ChoosePen(it.LineColor, psSolid, it.LineThickness, pmCopy);
            r.ChooseBrush(it.Color, it.BrushStyle);
            if (it.ItemKind == ikRectangle) {
                r.DrawRectangle(it.Left, it.Top, right, bottom);
            } else if (it.ItemKind == ikEllipse) {
                r.DrawEllipse(it.Left, it.Top, right, bottom);
            } else {
                // The corner ellipse is Rounding percent of the longer side both ways.
                const double m = it.Width > it.Height ? it.Width : it.Height;
                const double corner = it.Rounding * 0.01 * m;
                r.DrawRoundRect(it.Left, it.Top, right, bottom, corner, corner);
            }
            break;
        case ikImage: DrawPicture(r, std::size_t(i), it); break;
        case ikBarcode: DrawBarcode(r, std::size_t(i), it); break;
        case ikVerticalLine:
            r.ChoosePen(it.LineColor, psSolid, it.LineThickness, pmCopy);
            r.MovePen(it.Left, it.Top);
            r.DrawLineTo(it.Left, bottom);
            break;
        case ikHorizontalLine:
            r.ChoosePen(it.LineColor, psSolid, it.LineThickness, pmCopy);
            r.MovePen(it.Left, it.Top);
            r.DrawLineTo(right, it.Top);
            break;
        }
    }
}

} // namespace sw
