#include "designer/FontColorDialog.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TFontColorDialog::TFontColorDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FontDialog1"));
    setWindowTitle(QStringLiteral("Font"));
    FontDialog1 = new QFontDialog(this);
    FontDialog1->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog | QFontDialog::ScalableFonts);
    FontDialog1->setWindowFlags(Qt::Widget);
    // The embedded chooser is a dialog of its own: Escape or Enter inside it would close only
    // the chooser and leave this dialog open without it.
    connect(FontDialog1, &QDialog::rejected, this, &QDialog::reject);
    connect(FontDialog1, &QDialog::accepted, this, &QDialog::accept);
    ColorButton = new QPushButton(this);
    ColorButton->setObjectName(QStringLiteral("ColorButton"));
    ColorButton->setAutoDefault(false);
    connect(ColorButton, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(sw::ToQColor(color_), this, QStringLiteral("Color"),
                                                QColorDialog::DontUseNativeDialog);
        if (c.isValid()) {
            color_ = sw::FromQColor(c);
            ShowColor();
        }
    });
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(ColorButton);
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    auto* box = new QVBoxLayout(this);
    box->addWidget(FontDialog1);
    box->addLayout(row);
    ShowColor();
}

void TFontColorDialog::ShowColor()
{
    const QColor c = sw::ToQColor(color_);
    ColorButton->setText(QStringLiteral("Color: %1").arg(c.name()));
    QPixmap swatch(16, 16);
    swatch.fill(c);
    ColorButton->setIcon(QIcon(swatch));
}

void TFontColorDialog::SetItemFont(const TItemFont& f)
{
    QFont font(f.Name);
    font.setPointSize(f.Size > 0 ? f.Size : 10);
    font.setBold(f.Bold);
    font.setItalic(f.Italic);
    font.setUnderline(f.Underline);
    font.setStrikeOut(f.StrikeOut);
    FontDialog1->setCurrentFont(font);
    color_ = f.Color;
    ShowColor();
}

TItemFont TFontColorDialog::ItemFont() const
{
    const QFont font = FontDialog1->currentFont();
    TItemFont f;
    f.Name = font.family();
    f.Size = font.pointSize() > 0 ? font.pointSize() : 10;
    f.Bold = font.bold();
    f.Italic = font.italic();
    f.Underline = font.underline();
    f.StrikeOut = font.strikeOut();
    f.Color = color_;
    return f;
}
