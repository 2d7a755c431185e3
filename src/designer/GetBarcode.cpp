#include "designer/GetBarcode.h"

#include "designer/DialogHelp.h"
#include "model/BarcodeItem.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

TBarcodePicture::TBarcodePicture(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("BarcodePicture"));
    setMinimumSize(320, 160);
    setAutoFillBackground(false);
}

void TBarcodePicture::SetCode(const sw::TBarcode& code)
{
    code_ = code;
    update();
}

void TBarcodePicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (code_.IsNull())
        return;
    // A margin of white as a scanner wants it; the code keeps its own proportions.
    const QRectF area = QRectF(rect()).adjusted(16, 12, -16, -12);
    const double scale = std::min(area.width() / code_.Size.width(), area.height() / code_.Size.height());
    const QSizeF size(code_.Size.width() * scale, code_.Size.height() * scale);
    p.translate(area.center() - QPointF(size.width() / 2, size.height() / 2));
    sw::PaintBarcode(p, sw::LayOutBarcode(code_, size, 0), Qt::black);
}

TGetBarcode::TGetBarcode(sw::TDataValues values, QWidget* parent)
    : QDialog(parent), values_(std::move(values))
{
    setObjectName(QStringLiteral("GetBarcode"));
    setWindowTitle(QStringLiteral("Barcode"));

    SymbologyBox = new QComboBox(this);
    SymbologyBox->setObjectName(QStringLiteral("SymbologyBox"));
    for (int i = 0; i < sw::kSymbologyCount; ++i)
        SymbologyBox->addItem(sw::SymbologyCaption(sw::TSymbology(i)), sw::SymbologyWord(sw::TSymbology(i)));
    DataEdit = new QLineEdit(this);
    DataEdit->setObjectName(QStringLiteral("DataEdit"));
    DataEdit->setMaxLength(sw::kMaxBarcodeData);
    DataEdit->setMinimumWidth(320);
    DataEdit->setToolTip(QStringLiteral("{COUNTER} puts the label's counter value in the code, "
                                        "{COUNTER:6} pads it to six digits, {Name} puts in the "
                                        "address list's field Name, {{ writes a brace"));
    ShowTextBox = new QCheckBox(QStringLiteral("Show the text under the code"), this);
    ShowTextBox->setObjectName(QStringLiteral("ShowTextBox"));
    ShowTextBox->setChecked(true);
    Picture = new TBarcodePicture(this);
    ProblemLabel = new QLabel(this);
    ProblemLabel->setObjectName(QStringLiteral("ProblemLabel"));
    ProblemLabel->setWordWrap(true);
    ProblemLabel->setStyleSheet(QStringLiteral("color: #b00000"));
    ProblemLabel->setMinimumHeight(ProblemLabel->fontMetrics().height() * 2);

    const sw::TDialogButtons buttonSet = sw::MakeDialogButtons(this, QStringLiteral("OK"), 0);
    OkButton = buttonSet.OkButton;

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Kind of code"), SymbologyBox);
    form->addRow(QStringLiteral("&Data"), DataEdit);
    form->addRow(QString(), ShowTextBox);
    auto* box = new QVBoxLayout(this);
    box->addLayout(form);
    box->addWidget(Picture, 1);
    box->addWidget(ProblemLabel);
    box->addLayout(sw::DialogButtonRow(buttonSet));

    connect(SymbologyBox, &QComboBox::currentIndexChanged, this, &TGetBarcode::Check);
    connect(DataEdit, &QLineEdit::textChanged, this, &TGetBarcode::Check);
    connect(ShowTextBox, &QCheckBox::toggled, this, &TGetBarcode::Check);
    DataEdit->setFocus();
    Check();
}

void TGetBarcode::SetValues(const TBarcodeValues& values)
{
    SymbologyBox->setCurrentIndex(int(values.Symbology));
    DataEdit->setText(values.Data);
    ShowTextBox->setChecked(values.ShowText);
    Check();
}

TBarcodeValues TGetBarcode::Values() const
{
    TBarcodeValues v;
    v.Symbology = sw::TSymbology(std::clamp(SymbologyBox->currentIndex(), 0, sw::kSymbologyCount - 1));
    v.Data = DataEdit->text();
    v.ShowText = ShowTextBox->isChecked();
    return v;
}

void TGetBarcode::Check()
{
    const TBarcodeValues v = Values();
    ShowTextBox->setEnabled(!sw::IsTwoDimensional(v.Symbology));
    problem_.clear();
    sw::TBarcode code;
    if (const std::optional<QString> data = sw::ExpandBarcodeData(v.Data, values_, &problem_))
        code = sw::EncodeBarcode(v.Symbology, *data, v.ShowText, &problem_);
    Picture->SetCode(code);
    ProblemLabel->setText(problem_);
    OkButton->setEnabled(problem_.isEmpty() && !code.IsNull());
}
