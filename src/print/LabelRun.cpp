#include "print/LabelRun.h"

#include "model/Symbols.h"
#include "report/RPBase.h"

#include <QRegularExpression>

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
    read_ = true;
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
    // A merge run goes on until every record has its labels.
    std::int64_t mergeLabel = 0;
    int sheets = pageCount_;
    if (merge_)
        sheets = merge_->FirstSheetOnly ? 1 : merge_->SheetsNeeded(PositionsPerSheet(sheet_, positions_));
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
