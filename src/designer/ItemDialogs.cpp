#include "designer/ItemDialogs.h"

#include "designer/FontColorDialog.h"
#include "designer/GetCounter.h"
#include "designer/GetSymbol.h"
#include "designer/ImageBrowse.h"
#include "designer/InputQueryForm.h"
#include "designer/SetRotate.h"
#include "designer/SpinEdit.h"
#include "ui/WindowServices.h"

#include <QColorDialog>
#include <algorithm>

QWidget* TItemDialogs::Owner() const
{
    return services_ ? services_->MainWidget() : nullptr;
}

void TItemDialogs::Place(QWidget* dialog) const
{
    if (services_)
        services_->CenterOverMainWindow(dialog);
}

bool TItemDialogs::QueryText(const QString& caption, const QString& prompt, QString& value)
{
    return ::QueryText(caption, prompt, value, services_);
}

bool TItemDialogs::GetAngle(int& angle, const std::function<void(int)>& preview)
{
    TSetRotate dlg(Owner());
    Place(&dlg);
    dlg.SetTargetLabel(preview);
    dlg.AngleSpin->SetValue(angle);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    angle = dlg.AngleSpin->Value();
    return true;
}

bool TItemDialogs::GetSymbol(int& code, TColor& color)
{
    TGetSymbol dlg(Owner());
    Place(&dlg);
    dlg.SymbolList->SetTextColor(sw::ToQColor(color));
    dlg.SymbolList->SetSelectedIndex(code - TSymbolList::FirstCode);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    code = dlg.SymbolList->SelectedIndex() + TSymbolList::FirstCode;
    color = sw::FromQColor(dlg.SymbolList->TextColor());
    return true;
}

QString TItemDialogs::BrowseImage()
{
    TImageBrowse dlg(Owner());
    Place(&dlg);
    if (dlg.exec() != QDialog::Accepted)
        return {};
    return dlg.FileName();
}

bool TItemDialogs::GetCounter(int& startingNumber, int& repeatFor, bool atOwnPlace)
{
    TGetCounter dlg(Owner());
    if (!atOwnPlace)
        Place(&dlg);
    dlg.StartingNumber->SetValue(startingNumber);
    dlg.RepeatFor->SetValue(repeatFor);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    startingNumber = dlg.StartingNumber->Value();
    repeatFor = dlg.RepeatFor->Value();
    // A count typed out of range and confirmed with Enter never left the field.
    repeatFor = std::clamp(repeatFor, dlg.RepeatFor->MinValue(), dlg.RepeatFor->MaxValue());
    return true;
}

bool TItemDialogs::ChooseFont(TItemFont& font)
{
    TFontColorDialog dlg(Owner());
    Place(&dlg);
    dlg.SetItemFont(font);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    font = dlg.ItemFont();
    return true;
}

bool TItemDialogs::ChooseColor(TColor& color)
{
    QColorDialog dlg(sw::ToQColor(color), Owner());
    dlg.setWindowTitle(QStringLiteral("Color"));
    dlg.setOption(QColorDialog::DontUseNativeDialog);
    Place(&dlg);
    if (dlg.exec() != QDialog::Accepted || !dlg.selectedColor().isValid())
        return false;
    color = sw::FromQColor(dlg.selectedColor());
    return true;
}

bool TItemDialogs::GetBarcode(TBarcodeValues& values, const sw::TDataValues& shown)
{
    TGetBarcode dlg(shown, Owner());
    dlg.SetValues(values);
    Place(&dlg);
    if (dlg.exec() != QDialog::Accepted || !dlg.Problem().isEmpty())
        return false;
    values = dlg.Values();
    return true;
}
