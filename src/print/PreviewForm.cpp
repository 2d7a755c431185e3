#include "print/PreviewForm.h"

#include "print/FilePreview.h"
#include "ui/ContextHelp.h"
#include "ui/MessageBoxes.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kClientWidth = 608;
constexpr int kClientHeight = 424;
constexpr int kButtonBarHeight = 41;

enum class Glyph { ZoomIn, ZoomOut, PageWidth, WholePage, Previous, Next };

QIcon MakeGlyph(Glyph g)
{
    QPixmap pm(18, 18);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::NoBrush);
    const auto page = [&p] {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 9, 13));
        p.setBrush(Qt::NoBrush);
    };
    const auto triangle = [&p](QPointF a, QPointF b, QPointF c) {
        p.setBrush(Qt::black);
        const QPointF t[3] = {a, b, c};
        p.drawPolygon(t, 3);
    };
    switch (g) {
    case Glyph::ZoomIn:
    case Glyph::ZoomOut:
        p.drawEllipse(QPointF(7, 7), 5, 5);
        p.setPen(QPen(Qt::black, 2.5));
        p.drawLine(QPointF(10.5, 10.5), QPointF(16, 16));
        p.setPen(QPen(Qt::black, 1.5));
        p.drawLine(QPointF(4.5, 7), QPointF(9.5, 7));
        if (g == Glyph::ZoomIn)
            p.drawLine(QPointF(7, 4.5), QPointF(7, 9.5));
        break;
    case Glyph::PageWidth:
        page();
        p.drawLine(QPointF(1, 16), QPointF(17, 16));
        triangle({0.5, 16}, {3.5, 13.5}, {3.5, 18});
        triangle({17.5, 16}, {14.5, 13.5}, {14.5, 18});
        break;
    case Glyph::WholePage:
        page();
        p.drawLine(QPointF(6.5, 5), QPointF(11.5, 5));
        p.drawLine(QPointF(6.5, 8), QPointF(11.5, 8));
        p.drawLine(QPointF(6.5, 11), QPointF(10, 11));
        break;
    case Glyph::Previous: triangle({4, 9}, {13, 3}, {13, 15}); break;
    case Glyph::Next: triangle({14, 9}, {5, 3}, {5, 15}); break;
    }
    return QIcon(pm);
}

QToolButton* PictureButton(QWidget* parent, const char* name, Glyph glyph, int left, const QString& tip)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(MakeGlyph(glyph));
    b->setIconSize(QSize(18, 18));
    b->setGeometry(left, 8, 25, 25);
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

TPreviewForm::TPreviewForm(QWidget* parent)
    : QDialog(parent), FilePreview1(std::make_unique<sw::TFilePreview>())
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(QStringLiteral("Label Preview"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(QFont(QStringLiteral("Liberation Sans"), 10));
    setFixedSize(kClientWidth, kClientHeight);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setGeometry(0, 0, kClientWidth, kClientHeight - kButtonBarHeight);
    ScrollBox1->setBackgroundRole(QPalette::Dark);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(0, kClientHeight - kButtonBarHeight, kClientWidth, kButtonBarHeight);
    sbZoomIn = PictureButton(Panel2, "sbZoomIn", Glyph::ZoomIn, 8, QStringLiteral("Zoom in"));
    sbZoomOut = PictureButton(Panel2, "sbZoomOut", Glyph::ZoomOut, 34, QStringLiteral("Zoom out"));
    sbZoomPageWidth = PictureButton(Panel2, "sbZoomPageWidth", Glyph::PageWidth, 60, QStringLiteral("Page width"));
    sbZoomPage = PictureButton(Panel2, "sbZoomPage", Glyph::WholePage, 86, QStringLiteral("Whole page"));
    sbPrevPage = PictureButton(Panel2, "sbPrevPage", Glyph::Previous, 120, QStringLiteral("Previous page"));
    sbNextPage = PictureButton(Panel2, "sbNextPage", Glyph::Next, 146, QStringLiteral("Next page"));
    // Holding a zoom button keeps zooming.
    for (QToolButton* b : {sbZoomIn, sbZoomOut}) {
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(120);
    }

    PageLabel = new QLabel(QStringLiteral("Page 1 of 1"), Panel2);
    PageLabel->setObjectName(QStringLiteral("PageLabel"));
    PageLabel->setGeometry(184, 8, 140, 25);

    HelpButton = sw::MakeHelpButton(this, HelpContext);
    HelpButton->setParent(Panel2);
    HelpButton->setGeometry(344, 8, 75, 25);
    MouseHelpButton = sw::MakeMouseHelpButton(this);
    MouseHelpButton->setParent(Panel2);
    MouseHelpButton->setGeometry(425, 8, 25, 25);
    CloseButton = new QPushButton(QStringLiteral("Close"), Panel2);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setDefault(true);
    CloseButton->setGeometry(kClientWidth - 83, 8, 75, 25);

    FilePreview1->ScrollBox = ScrollBox1;
    FilePreview1->SetZoomFactor(100);
    FilePreview1->MarginMethod = sw::mmFixed;
    FilePreview1->MarginPercent = 2.5;
    FilePreview1->SetShadowDepth(0);
    FilePreview1->StreamMode = sw::smUser;
    FilePreview1->OnPageChange = [this] { FilePreview1PageChange(); };
    FilePreview1->OnRefused = [this](const QString& text) { ShowError(text); };

    new TODSHelp(this, {
        {QStringLiteral("CloseButton"), {QStringLiteral("Click here to close the preview")}},
        {QStringLiteral("HelpButton"), {QStringLiteral("Click here to read the help page for this window")}},
        {QStringLiteral("sbNextPage"), {QStringLiteral("Click here to see the next page")}},
        {QStringLiteral("sbPrevPage"), {QStringLiteral("Click here to see the previous page")}},
        {QStringLiteral("sbZoomIn"), {QStringLiteral("Click here to make the page larger; hold the button down to keep zooming (at most twice its real size)")}},
        {QStringLiteral("sbZoomOut"), {QStringLiteral("Click here to make the page smaller; hold the button down to keep zooming (at least a tenth of its real size)")}},
        {QStringLiteral("sbZoomPage"), {QStringLiteral("Click here to fit the whole page into the window")}},
        {QStringLiteral("sbZoomPageWidth"), {QStringLiteral("Click here to make the page exactly as wide as the window")}},
    });

    connect(sbZoomIn, &QToolButton::clicked, this, &TPreviewForm::SBZoomInClick);
    connect(sbZoomOut, &QToolButton::clicked, this, &TPreviewForm::SBZoomOutClick);
    connect(sbZoomPageWidth, &QToolButton::clicked, this, &TPreviewForm::SBZoomPageWidthClick);
    connect(sbZoomPage, &QToolButton::clicked, this, &TPreviewForm::SBZoomPageClick);
    connect(sbPrevPage, &QToolButton::clicked, this, &TPreviewForm::SBPrevPageClick);
    connect(sbNextPage, &QToolButton::clicked, this, &TPreviewForm::sbNextPageClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
}

TPreviewForm::~TPreviewForm() = default;

void TPreviewForm::SetStream(QIODevice* stream)
{
    FilePreview1->Stream = stream;
}

void TPreviewForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Started once the window stands at its size, so the page is laid out in the real room.
    if (firstActivation_)
        QTimer::singleShot(0, this, &TPreviewForm::FormActivate);
}

void TPreviewForm::FormActivate()
{
    if (!firstActivation_)
        return;
    firstActivation_ = false;
    Guarded([this] { FilePreview1->Start(); });
    if (FilePreview1->StreamPageCount() < 2) {
        sbPrevPage->hide();
        sbNextPage->hide();
    }
}

template <typename F>
void TPreviewForm::Guarded(F&& command)
{
    try {
        command();
    } catch (const sw::EReportPrinter& e) {
        ShowError(e.message());
    }
}

void TPreviewForm::ShowError(const QString& message)
{
    sw::ShowMessage(this, message);
}

void TPreviewForm::SBZoomInClick()
{
    Guarded([this] { FilePreview1->ZoomIn(); });
}

void TPreviewForm::SBZoomOutClick()
{
    Guarded([this] { FilePreview1->ZoomOut(); });
}

void TPreviewForm::SBZoomPageWidthClick()
{
    Guarded([this] { FilePreview1->SetZoomFactor(FilePreview1->ZoomPageWidthFactor()); });
}

void TPreviewForm::SBZoomPageClick()
{
    Guarded([this] { FilePreview1->SetZoomFactor(FilePreview1->ZoomPageFactor()); });
}

void TPreviewForm::SBPrevPageClick()
{
    Guarded([this] { FilePreview1->ShowPreviousPage(); });
}

void TPreviewForm::sbNextPageClick()
{
    Guarded([this] { FilePreview1->ShowNextPage(); });
}

void TPreviewForm::FilePreview1PageChange()
{
    PageLabel->setText(QStringLiteral("Page %1 of %2")
                           .arg(FilePreview1->CurrentStreamPage() - FilePreview1->StreamFirstPage() + 1)
                           .arg(FilePreview1->StreamPageCount()));
}

void TPreviewForm::done(int result)
{
    if (FilePreview1->Previewing() || FilePreview1->Active())
        FilePreview1->Finish();
    QDialog::done(result);
}
