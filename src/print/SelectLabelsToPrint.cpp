#include "print/SelectLabelsToPrint.h"

#include "model/PositionSelection.h"
#include "ui/HelpViewer.h"
#include "ui/WindowServices.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>

namespace {
constexpr int kHelpContext = 2001;
}

TSelectLabelsToPrint::TSelectLabelsToPrint(TWindowServices& services, sw::TPositionSelection& selection,
                                           int across, int down, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      services_(services),
      selection_(selection),
      across_(std::max(0, across)),
      down_(std::max(0, down))
{
    setObjectName(QStringLiteral("SelectLabelsToPrint"));
    setWindowTitle(QStringLiteral("Select Specific Labels"));
    setFixedSize(290, 258);
    setFont(QFont(QStringLiteral("Arial"), 8));

    LabelsList = new QListWidget(this);
    LabelsList->setObjectName(QStringLiteral("LabelsList"));
    LabelsList->setStyleSheet(QStringLiteral("QListWidget { background: silver; }"));
    LabelsList->setUniformItemSizes(true);
    LabelsList->setWhatsThis(QStringLiteral("Check the positions of the sheet that are to receive a label."));

    const auto button = [this](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    Okbutton = button(QStringLiteral("OK"), "Okbutton");
    Okbutton->setDefault(true);
    CancelButton = button(QStringLiteral("Cancel"), "CancelButton");
    Allbutton = button(QStringLiteral("All"), "Allbutton");
    Allbutton->setWhatsThis(QStringLiteral("Checks every position."));
    Nonebutton = button(QStringLiteral("None"), "Nonebutton");
    Nonebutton->setWhatsThis(QStringLiteral("Unchecks every position."));
    HelpButton = button(QStringLiteral("Help"), "HelpButton");
    MouseHelpButton = new QToolButton(this);
    MouseHelpButton->setObjectName(QStringLiteral("MouseHelpButton"));
    MouseHelpButton->setText(QStringLiteral("?"));
    connect(Okbutton, &QPushButton::clicked, this, &TSelectLabelsToPrint::OkbuttonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(Allbutton, &QPushButton::clicked, this, &TSelectLabelsToPrint::AllbuttonClick);
    connect(Nonebutton, &QPushButton::clicked, this, &TSelectLabelsToPrint::NonebuttonClick);
    connect(HelpButton, &QPushButton::clicked, this, [this] { sw::ShowHelp(this, kHelpContext); });
    connect(MouseHelpButton, &QToolButton::clicked, this, [] { QWhatsThis::enterWhatsThisMode(); });

    auto* side = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(Okbutton), static_cast<QWidget*>(CancelButton),
                       static_cast<QWidget*>(Allbutton), static_cast<QWidget*>(Nonebutton),
                       static_cast<QWidget*>(HelpButton)})
        side->addWidget(w);
    side->addStretch();
    side->addWidget(MouseHelpButton, 0, Qt::AlignLeft);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(LabelsList, 1);
    layout->addLayout(side);
    FormCreate();
}

QString TSelectLabelsToPrint::PositionName(int row, int column)
{
    return QStringLiteral("Row %1, Column %2").arg(row).arg(column);
}

void TSelectLabelsToPrint::FormCreate()
{
    LabelsList->clear();
    for (int r = 1; r <= down_; ++r) {
        for (int c = 1; c <= across_; ++c) {
            auto* item = new QListWidgetItem(PositionName(r, c), LabelsList);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            item->setSizeHint(QSize(0, 16));
            const bool on = selection_.IsSet((r - 1) * across_ + (c - 1));
            item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        }
    }
}

QListWidgetItem* TSelectLabelsToPrint::ItemNamed(const QString& name) const
{
    const QList<QListWidgetItem*> found = LabelsList->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

void TSelectLabelsToPrint::OkbuttonClick()
{
    std::vector<bool> flags;
    bool any = false, all = true;
    for (int r = 0; r < down_; ++r) {
        for (int c = 0; c < across_; ++c) {
            const QListWidgetItem* item = ItemNamed(PositionName(r + 1, c + 1));
            const bool on = item && item->checkState() == Qt::Checked;
            flags.push_back(on);
            any = any || on;
            all = all && on;
        }
    }
    if (!any) {
        services_.ShowInformation(QStringLiteral("No labels selected"));
        return;
    }
    for (std::size_t i = 0; i < flags.size(); ++i)
        selection_.Set(int(i), flags[i]);
    // Every position chosen is the same as no choice: the mode is left as it was.
    done(all ? QDialog::Rejected : QDialog::Accepted);
}

void TSelectLabelsToPrint::CheckAll(bool on)
{
    for (int i = 0; i < LabelsList->count(); ++i)
        LabelsList->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

void TSelectLabelsToPrint::AllbuttonClick()
{
    CheckAll(true);
}

void TSelectLabelsToPrint::NonebuttonClick()
{
    CheckAll(false);
}
