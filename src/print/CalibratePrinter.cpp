#include "print/CalibratePrinter.h"

#include "print/CalibrationSheet.h"
#include "report/RPDevice.h"
#include "ui/ContextHelp.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowServices.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace sw {

TCalibratePrinter::TCalibratePrinter(TRPDevice& device, QWidget* parent)
    : QDialog(parent), device_(device), sessionPrinter_(device.PrinterIndex())
{
    setObjectName(QStringLiteral("CalibratePrinter"));
    setWindowTitle(QStringLiteral("Calibrate Printer"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QFormLayout;
    printers_ = new QComboBox(this);
    printers_->setObjectName(QStringLiteral("PrinterBox"));
    for (const TRPDeviceItem& p : device_.Printers())
        printers_->addItem(p.Name);
    printers_->setCurrentIndex(device_.PrinterIndex());
    top->addRow(QStringLiteral("&Printer:"), printers_);
    currentLabel_ = new QLabel(this);
    currentLabel_->setObjectName(QStringLiteral("StoredLabel"));
    top->addRow(QStringLiteral("Stored calibration:"), currentLabel_);
    units_ = new QComboBox(this);
    units_->setObjectName(QStringLiteral("UnitBox"));
    units_->addItems({QStringLiteral("millimetres"), QStringLiteral("inches")});
    top->addRow(QStringLiteral("&Measured in:"), units_);
    layout->addLayout(top);

    auto* print = new QPushButton(QStringLiteral("Print Calibration &Sheet"), this);
    print->setObjectName(QStringLiteral("PrintSheetButton"));
    layout->addWidget(print);

    auto* box = new QGroupBox(QStringLiteral("Where the crosshairs landed, from the paper's edges"), this);
    box->setObjectName(QStringLiteral("ReadingsBox"));
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QStringLiteral("from the left"), box), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("from the top"), box), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Crosshair &1 (top left):"), box), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Crosshair &2 (bottom right):"), box), 2, 0);
    for (int i = 0; i < 4; ++i) {
        readings_[i] = new QDoubleSpinBox(box);
        readings_[i]->setRange(0, 2000);
        grid->addWidget(readings_[i], 1 + i / 2, 1 + i % 2);
        connect(readings_[i], &QDoubleSpinBox::valueChanged, this, &TCalibratePrinter::ReadingsChanged);
    }
    qobject_cast<QLabel*>(grid->itemAtPosition(1, 0)->widget())->setBuddy(readings_[0]);
    qobject_cast<QLabel*>(grid->itemAtPosition(2, 0)->widget())->setBuddy(readings_[2]);
    layout->addWidget(box);

    resultLabel_ = new QLabel(this);
    resultLabel_->setObjectName(QStringLiteral("ResultLabel"));
    layout->addWidget(resultLabel_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    auto* reset = buttons->addButton(QStringLiteral("&Reset"), QDialogButtonBox::ResetRole);
    reset->setObjectName(QStringLiteral("ResetButton"));
    buttons->addButton(MakeHelpButton(this, HelpContext), QDialogButtonBox::HelpRole);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(MakeMouseHelpButton(this));
    bottom->addWidget(buttons, 1);
    layout->addLayout(bottom);
    new TODSHelp(this, {
        {QStringLiteral("CancelButton"), {QStringLiteral("Click here to close the window and keep the calibration stored before")}},
        {QStringLiteral("HelpButton"), {QStringLiteral("Click here to read the help page for this window")}},
        {QStringLiteral("OkButton"), {QStringLiteral("Click here to store the calibration shown for this printer: every label printed on it from now on is moved and scaled by it")}},
        {QStringLiteral("PrintSheetButton"), {QStringLiteral("Click here to print the calibration sheet on this printer: two crosshairs, one inch in from the top left corner and one inch in from the bottom right corner of the paper, printed without any calibration")}},
        {QStringLiteral("PrinterBox"), {QStringLiteral("The printer to calibrate; each printer keeps a calibration of its own")}},
        {QStringLiteral("ReadingsBox"), {QStringLiteral("Measure on the printed sheet where the centre of each crosshair landed, from the left edge and from the top edge of the paper, and type the distances here")}},
        {QStringLiteral("ResetButton"), {QStringLiteral("Click here to set the readings to where the crosshairs should land: no calibration")}},
        {QStringLiteral("ResultLabel"), {QStringLiteral("The offsets and scales the readings give; OK stores them")}},
        {QStringLiteral("StoredLabel"), {QStringLiteral("The calibration stored for this printer now")}},
        {QStringLiteral("UnitBox"), {QStringLiteral("The unit of your ruler: millimetres or inches")}},
    });

    connect(print, &QPushButton::clicked, this, &TCalibratePrinter::PrintSheet);
    connect(reset, &QPushButton::clicked, this, &TCalibratePrinter::Reset);
    connect(buttons, &QDialogButtonBox::accepted, this, &TCalibratePrinter::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TCalibratePrinter::reject);
    connect(printers_, &QComboBox::currentIndexChanged, this, &TCalibratePrinter::PrinterChosen);
    connect(units_, &QComboBox::currentIndexChanged, this, &TCalibratePrinter::UnitChosen);
    UnitChosen(0);
    PrinterChosen(printers_->currentIndex());
}

void TCalibratePrinter::mnuCalibratePrinterClick(TWindowServices& services, TRPDevice& device)
{
    TCalibratePrinter dialog(device, services.MainWidget());
    dialog.adjustSize();
    services.CenterOverMainWindow(&dialog);
    dialog.exec();
}

QDoubleSpinBox* TCalibratePrinter::Reading(int crosshair, bool fromTop) const
{
    return readings_[(crosshair - 1) * 2 + (fromTop ? 1 : 0)];
}

double TCalibratePrinter::ToInches(double value) const
{
    return inches_ ? value : value / 25.4;
}

double TCalibratePrinter::FromInches(double inches) const
{
    return inches_ ? inches : inches * 25.4;
}

void TCalibratePrinter::PrinterChosen(int index)
{
    if (index < 0)
        return;
    device_.SetPrinterIndex(index);
    const auto [first, second] = CalibrationCrosshairs(device_.PaperSizeInches());
    meant_[0] = first;
    meant_[1] = second;
    currentLabel_->setText(DescribeCalibration(device_.Calibration()));
    Reset();
}

void TCalibratePrinter::UnitChosen(int index)
{
    double inches[4];
    for (int i = 0; i < 4; ++i)
        inches[i] = ToInches(readings_[i]->value());
    inches_ = index == 1;
    for (int i = 0; i < 4; ++i) {
        const QSignalBlocker block(readings_[i]);
        readings_[i]->setDecimals(inches_ ? 3 : 1);
        readings_[i]->setSingleStep(inches_ ? 0.005 : 0.1);
        readings_[i]->setSuffix(inches_ ? QStringLiteral(" in") : QStringLiteral(" mm"));
        readings_[i]->setValue(FromInches(inches[i]));
    }
    ReadingsChanged();
}

void TCalibratePrinter::Reset()
{
    for (int i = 0; i < 4; ++i) {
        const QSignalBlocker block(readings_[i]);
        const QPointF& m = meant_[i / 2];
        readings_[i]->setValue(FromInches(i % 2 ? m.y() : m.x()));
    }
    ReadingsChanged();
}

void TCalibratePrinter::ReadingsChanged()
{
    const QPointF landed1(ToInches(readings_[0]->value()), ToInches(readings_[1]->value()));
    const QPointF landed2(ToInches(readings_[2]->value()), ToInches(readings_[3]->value()));
    // Readings the field rounded to its decimals stand for the meant place exactly.
    const auto snap = [this](const QPointF& landed, const QPointF& meant) {
        const double step = inches_ ? 0.0005 : 0.05 / 25.4;
        return QPointF(std::abs(landed.x() - meant.x()) <= step ? meant.x() : landed.x(),
                       std::abs(landed.y() - meant.y()) <= step ? meant.y() : landed.y());
    };
    result_ = CalibrationFromReadings(meant_[0], snap(landed1, meant_[0]), meant_[1],
                                      snap(landed2, meant_[1]), &resultValid_);
    if (!resultValid_)
        resultLabel_->setText(QStringLiteral("These readings give no calibration: crosshair 2 must "
                                             "lie right of and below crosshair 1."));
    else
        resultLabel_->setText(QStringLiteral("Calibration: ") + DescribeCalibration(result_));
}

void TCalibratePrinter::PrintSheet()
{
    if (!device_.Printer())
        return;
    if (device_.Printer()->IsPdf) {
        QString folder = device_.LastPdfFolder();
        if (folder.isEmpty())
            folder = QDir::homePath();
        const QString file = QFileDialog::getSaveFileName(
            this, QStringLiteral("Calibration Sheet"), QDir(folder).filePath(QStringLiteral("Calibration.pdf")),
            QStringLiteral("PDF files (*.pdf)"));
        if (file.isEmpty())
            return;
        device_.SetPdfFileName(file);
    }
    QString error;
    if (!PrintCalibrationSheet(device_, &error))
        ShowInformation(this, error);
}

void TCalibratePrinter::accept()
{
    if (!resultValid_) {
        ShowInformation(this, resultLabel_->text());
        return;
    }
    const QString refusal = CalibrationRefusal(result_);
    if (!refusal.isEmpty()) {
        ShowInformation(this, refusal);
        return;
    }
    if (device_.SettingsFile().isEmpty()
        || !WriteCalibration(device_.SettingsFile(), device_.Printer()->Name, result_)) {
        ShowInformation(this, QStringLiteral("The calibration could not be stored in ")
                                  + QDir::toNativeSeparators(device_.SettingsFile()) + u'.');
        return;
    }
    QDialog::accept();
}

void TCalibratePrinter::reject()
{
    if (device_.PrinterIndex() != sessionPrinter_)
        device_.SetPrinterIndex(sessionPrinter_);
    QDialog::reject();
}

} // namespace sw
