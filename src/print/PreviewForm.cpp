#include "print/PreviewForm.h"

#include "report/RPFPrint.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace sw;

TPreviewForm::TPreviewForm(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(QStringLiteral("Label Preview"));
    resize(640, 480);
    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setBackgroundRole(QPalette::Dark);
    Page = new QLabel;
    Page->setObjectName(QStringLiteral("Page"));
    ScrollBox->setWidget(Page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ScrollBox);
}

void TPreviewForm::SetStream(QIODevice* stream)
{
    stream_ = stream;
}

void TPreviewForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ShowFirstPage();
}

void TPreviewForm::ShowFirstPage()
{
    if (!stream_)
        return;
    // A screen replay: no printer takes the stream's settings.
    TRPDevice screenDevice(false, false);
    TFilePrinter reader(&screenDevice);
    reader.StreamMode = smUser;
    reader.Stream = stream_;
    try {
        reader.Start();
        const QImage image =
            reader.RenderPage(1, screen() ? screen()->logicalDotsPerInch() : 96.0, 100);
        if (image.isNull())
            return;
        Page->setPixmap(QPixmap::fromImage(image));
        Page->resize(image.size());
    } catch (const EReportPrinter& e) {
        Page->setText(e.message());
        Page->adjustSize();
    }
}
