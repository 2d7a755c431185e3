#include "library/TemplateEdit.h"
#include "library/DialogParts.h"

#include "model/Units.h"
#include "ui/ContextHelp.h"
#include "ui/WindowServices.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QRadioButton>
#include <QSpinBox>

namespace sw::library {

int PaperIndex(const QString& code)
{
    for (int i = 0; i < int(std::size(kPaperCodes)); ++i)
        if (code == QLatin1String(kPaperCodes[i]))
            return i;
    return 0;
}

int ShapeIndex(const QString& code)
{
    for (int i = 0; i < int(std::size(kShapeCodes)); ++i)
        if (code == QLatin1String(kShapeCodes[i]))
            return i;
    return 0;
}

} // namespace sw::library

namespace {
constexpr float kMillimetresPerInch = 25.4f;
}

TTemplateEdit::TTemplateEdit(TWindowServices& services, const TTemplateValues& values,
                             const QString& caption, QWidget* parent)
    : QDialog(parent), services_(services), working_(values)
{
    setWindowTitle(caption);
    setObjectName(QStringLiteral("TemplateEdit"));
    setFixedSize(385, 315);

    // A field's caption is named after the field with "Label" added; its help leads to the field's.
    auto label = [this](const QString& text, int x, int y, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setObjectName(buddy->objectName() + QLatin1String("Label"));
        l->move(x, y);
        l->setBuddy(buddy);
    };
    auto length = [this](const char* name, int x, int y) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(x, y, 60, 23);
        e->setMaxLength(7);
        return e;
    };

    eUserDesc = new QLineEdit(this);
    eUserDesc->setObjectName(QStringLiteral("eUserDesc"));
    eUserDesc->setMaxLength(sw::library::kTemplateCapacity);
    eUserDesc->setGeometry(90, 10, 285, 23);
    label(QStringLiteral("&Description"), 10, 14, eUserDesc);

    elblwidth = length("elblwidth", 120, 45);
    label(QStringLiteral("Label &Width"), 10, 49, elblwidth);
    elblHeight = length("elblHeight", 120, 73);
    label(QStringLiteral("Label &Height"), 10, 77, elblHeight);
    eHorizPitch = length("eHorizPitch", 120, 101);
    label(QStringLiteral("Hori&zontal Pitch"), 10, 105, eHorizPitch);
    eVertPitch = length("eVertPitch", 120, 129);
    label(QStringLiteral("&Vertical Pitch"), 10, 133, eVertPitch);

    enbracross = new QSpinBox(this);
    enbracross->setObjectName(QStringLiteral("enbracross"));
    enbracross->setRange(1, 10);
    enbracross->setGeometry(315, 45, 60, 23);
    label(QStringLiteral("# &across"), 200, 49, enbracross);
    enbrdown = new QSpinBox(this);
    enbrdown->setObjectName(QStringLiteral("enbrdown"));
    enbrdown->setRange(1, 30);
    enbrdown->setGeometry(315, 73, 60, 23);
    label(QStringLiteral("# d&own"), 200, 77, enbrdown);
    eleftmarg = length("eleftmarg", 315, 101);
    label(QStringLiteral("&Left Margin"), 200, 105, eleftmarg);
    etopmarg = length("etopmarg", 315, 129);
    label(QStringLiteral("&Top Margin"), 200, 133, etopmarg);

    epapersize = new QComboBox(this);
    epapersize->setObjectName(QStringLiteral("epapersize"));
    epapersize->addItems({QStringLiteral("Letter (8.5 x 11\")"), QStringLiteral("Letter Landscape (11 x 8.5\")"),
                          QStringLiteral("A4 (210 x 297mm)"), QStringLiteral("A4 Landscape ( 297 x 210mm)"),
                          QStringLiteral("A5 (148 x 210mm)"), QStringLiteral("Other (User Defined)")});
    epapersize->setGeometry(120, 162, 255, 23);
    label(QStringLiteral("&Paper size"), 10, 166, epapersize);

    Inchesbutton = new QRadioButton(QStringLiteral("In &inches/1000's of an inch"), this);
    Inchesbutton->setObjectName(QStringLiteral("Inchesbutton"));
    Inchesbutton->setGeometry(10, 196, 200, 22);
    Inchesbutton->setChecked(true);
    MMButton = new QRadioButton(QStringLiteral("In &Millimeters"), this);
    MMButton->setObjectName(QStringLiteral("MMButton"));
    MMButton->setGeometry(220, 196, 155, 22);

    QAbstractButton* help = sw::MakeHelpButton(this, HelpContext);
    help->setGeometry(10, 280, 75, 27);
    QAbstractButton* whats = sw::MakeMouseHelpButton(this);
    whats->setGeometry(92, 280, 27, 27);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    CancelButton->setGeometry(214, 280, 75, 27);

    eLabelShape = new QComboBox(this);
    eLabelShape->setObjectName(QStringLiteral("eLabelShape"));
    eLabelShape->addItems({QStringLiteral("Rectangular with Rounded Edges"), QStringLiteral("Round"),
                           QStringLiteral("Rectangular")});
    eLabelShape->setGeometry(120, 228, 255, 23);
    label(QStringLiteral("Label &Shape"), 10, 232, eLabelShape);

    OKButton = new QPushButton(QStringLiteral("&Save"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setGeometry(300, 280, 75, 27);

    const auto redirect = [](const char* field) {
        return TODSHelpItem{QLatin1String(field) + QLatin1String("Label"), {QStringLiteral("->") + QLatin1String(field)}};
    };
    new TODSHelp(this, {
        {QStringLiteral("CancelButton"), {QStringLiteral("Click here to close this window without keeping your changes")}},
        {QStringLiteral("eHorizPitch"), {QStringLiteral("The distance from the left edge of one label to the left edge of the next label in the same row: the label's width plus the gap between two labels")}},
        redirect("eHorizPitch"),
        {QStringLiteral("eLabelShape"), {QStringLiteral("The outline of one label: a rectangle with rounded corners, a round label (a circle or an ellipse), or a plain rectangle. The design surface shows the outline")}},
        redirect("eLabelShape"),
        {QStringLiteral("elblHeight"), {QStringLiteral("The height of one label, measured from its top edge to its bottom edge")}},
        redirect("elblHeight"),
        {QStringLiteral("elblwidth"), {QStringLiteral("The width of one label, measured from its left edge to its right edge")}},
        redirect("elblwidth"),
        {QStringLiteral("eleftmarg"), {QStringLiteral("The distance from the left edge of the sheet to the left edge of the first label")}},
        redirect("eleftmarg"),
        {QStringLiteral("enbracross"), {QStringLiteral("How many labels stand side by side across the sheet (1 to 10)")}},
        redirect("enbracross"),
        {QStringLiteral("enbrdown"), {QStringLiteral("How many rows of labels stand down the sheet (1 to 30)")}},
        redirect("enbrdown"),
        {QStringLiteral("epapersize"), {QStringLiteral("The paper the label sheet is printed on. Choose Other (User Defined) for a sheet of any other size")}},
        redirect("epapersize"),
        {QStringLiteral("etopmarg"), {QStringLiteral("The distance from the top edge of the sheet to the top edge of the first row of labels")}},
        redirect("etopmarg"),
        {QStringLiteral("eUserDesc"), {QStringLiteral("The name this template is listed under in the template list, for example the maker's product number")}},
        redirect("eUserDesc"),
        {QStringLiteral("eVertPitch"), {QStringLiteral("The distance from the top edge of one label to the top edge of the label below it: the label's height plus the gap between two rows")}},
        redirect("eVertPitch"),
        {QStringLiteral("HelpButton"), {QStringLiteral("Click here to read the help page for this window")}},
        {QStringLiteral("Inchesbutton"), {QStringLiteral("Choose this to see and type the sizes in inches")}},
        {QStringLiteral("MMButton"), {QStringLiteral("Choose this to see and type the sizes in whole millimetres")}},
        {QStringLiteral("OKButton"), {QStringLiteral("Click here to keep the template with the sizes shown")}},
    });

    setTabOrder(eUserDesc, elblwidth);
    setTabOrder(elblwidth, elblHeight);
    setTabOrder(elblHeight, eHorizPitch);
    setTabOrder(eHorizPitch, eVertPitch);
    setTabOrder(eVertPitch, enbracross);
    setTabOrder(enbracross, enbrdown);
    setTabOrder(enbrdown, eleftmarg);
    setTabOrder(eleftmarg, etopmarg);
    setTabOrder(etopmarg, epapersize);
    setTabOrder(epapersize, Inchesbutton);
    setTabOrder(Inchesbutton, MMButton);
    setTabOrder(MMButton, help);
    setTabOrder(help, whats);
    setTabOrder(whats, CancelButton);
    setTabOrder(CancelButton, eLabelShape);
    setTabOrder(eLabelShape, OKButton);

    connect(OKButton, &QPushButton::clicked, this, &TTemplateEdit::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(Inchesbutton, &QRadioButton::clicked, this, &TTemplateEdit::InchesbuttonClick);
    connect(MMButton, &QRadioButton::clicked, this, &TTemplateEdit::MMButtonClick);
    connect(elblwidth, &QLineEdit::editingFinished, this, &TTemplateEdit::elblwidthExit);
    connect(elblHeight, &QLineEdit::editingFinished, this, &TTemplateEdit::elblHeightExit);

    // What the editor shows on opening.
    eUserDesc->setText(working_.Description);
    ShowLengths();
    enbracross->setValue(working_.NbrAcross);
    enbrdown->setValue(working_.NbrDown);
    epapersize->setCurrentIndex(sw::library::PaperIndex(working_.PaperSize));
    eLabelShape->setCurrentIndex(sw::library::ShapeIndex(working_.LblShape));
}

QLineEdit* TTemplateEdit::Box(Length which) const
{
    switch (which) {
    case lnHeight: return elblHeight;
    case lnWidth: return elblwidth;
    case lnTop: return etopmarg;
    case lnLeft: return eleftmarg;
    case lnHoriz: return eHorizPitch;
    default: return eVertPitch;
    }
}

float& TTemplateEdit::Field(Length which)
{
    switch (which) {
    case lnHeight: return working_.LblHeight;
    case lnWidth: return working_.LblWidth;
    case lnTop: return working_.TopMarg;
    case lnLeft: return working_.LeftMarg;
    case lnHoriz: return working_.HorizPitch;
    default: return working_.VertPitch;
    }
}

bool TTemplateEdit::BoxNumber(QLineEdit* box, float* value)
{
    QString text = box->text().trimmed();
    text.replace(u',', u'.');
    bool ok = false;
    const double v = sw::ParseDecimal(text, &ok);
    if (!ok) {
        services_.ShowInformation(QStringLiteral("'%1' is not a valid floating point value").arg(box->text()));
        box->setFocus();
        box->selectAll();
        return false;
    }
    *value = static_cast<float>(v);
    return true;
}

bool TTemplateEdit::TakeLengths(bool boxesInMillimetres)
{
    std::array<float, lnCount> taken{};
    for (int i = 0; i < lnCount; ++i) {
        const auto which = static_cast<Length>(i);
        if (Box(which)->text() == shown_[i]) {
            taken[i] = Field(which);
            continue;
        }
        float v = 0;
        if (!BoxNumber(Box(which), &v))
            return false;
        taken[i] = boxesInMillimetres ? v * (1.0f / kMillimetresPerInch) : v;
    }
    for (int i = 0; i < lnCount; ++i)
        Field(static_cast<Length>(i)) = taken[i];
    return true;
}

void TTemplateEdit::ShowLengths()
{
    for (int i = 0; i < lnCount; ++i) {
        const auto which = static_cast<Length>(i);
        const float inches = Field(which);
        const QString text = millimetres_ ? sw::FormatFixed(double(inches * kMillimetresPerInch), 0)
                                          : sw::FormatFixed(double(inches), 2);
        Box(which)->setText(text);
        shown_[i] = text;
    }
}

void TTemplateEdit::MMButtonClick()
{
    if (millimetres_)
        return;
    if (!TakeLengths(false)) {
        Inchesbutton->setChecked(true);
        return;
    }
    millimetres_ = true;
    ShowLengths();
}

void TTemplateEdit::InchesbuttonClick()
{
    if (!millimetres_)
        return;
    if (!TakeLengths(true)) {
        MMButton->setChecked(true);
        return;
    }
    millimetres_ = false;
    ShowLengths();
}

void TTemplateEdit::elblwidthExit()
{
    bool ok = false, ok2 = false;
    const double width = sw::ParseDecimal(elblwidth->text().trimmed().replace(u',', u'.'), &ok);
    const double pitch = sw::ParseDecimal(eHorizPitch->text().trimmed().replace(u',', u'.'), &ok2);
    if (ok && ok2 && width > pitch)
        eHorizPitch->setText(elblwidth->text());
}

void TTemplateEdit::elblHeightExit()
{
    bool ok = false, ok2 = false;
    const double height = sw::ParseDecimal(elblHeight->text().trimmed().replace(u',', u'.'), &ok);
    const double pitch = sw::ParseDecimal(eVertPitch->text().trimmed().replace(u',', u'.'), &ok2);
    if (ok && ok2 && height > pitch)
        eVertPitch->setText(elblHeight->text());
}

void TTemplateEdit::OKButtonClick()
{
    working_.Description = eUserDesc->text();
    working_.NbrDown = enbrdown->value();
    working_.NbrAcross = enbracross->value();
    if (!TakeLengths(millimetres_))
        return;
    // What was taken is now what the boxes stand for.
    for (int i = 0; i < lnCount; ++i)
        shown_[i] = Box(static_cast<Length>(i))->text();
    if (epapersize->currentIndex() >= 0)
        working_.PaperSize = QLatin1String(sw::library::kPaperCodes[epapersize->currentIndex()]);
    if (eLabelShape->currentIndex() >= 0)
        working_.LblShape = QLatin1String(sw::library::kShapeCodes[eLabelShape->currentIndex()]);

    const char* problem = nullptr;
    if (working_.LblHeight < 0.3f)
        problem = "Label Height must be at least .3 inches (or 7mm)";
    else if (working_.LblWidth < 1.0f)
        problem = "Label Width must be at least 1 inch (or 25mm)";
    else if (working_.NbrAcross > 1 && working_.LblWidth > working_.HorizPitch)
        problem = "Horizontal Pitch must be at least = Label Width";
    else if (working_.NbrDown > 1 && working_.LblHeight > working_.VertPitch)
        problem = "Vertical Pitch must be at least = Label Height";
    else if (eUserDesc->text().isEmpty())
        problem = "You must provide a description";
    if (problem) {
        services_.ShowInformation(QString::fromLatin1(problem));
        return;
    }
    accept();
}
