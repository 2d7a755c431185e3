#include "print/SelectLabelsToPrint.h"

#include "model/PositionSelection.h"
#include "print/CheckListButtons.h"
#include "ui/ContextHelp.h"
#include "ui/WindowServices.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

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

    const TCheckListButtons buttons = MakeCheckListButtons(this);
    Okbutton = buttons.Ok;
    CancelButton = buttons.Cancel;
    Allbutton = buttons.All;
    Nonebutton = buttons.None;
    HelpButton = sw::MakeHelpButton(this, kHelpContext);
    MouseHelpButton = sw::MakeMouseHelpButton(this);
    new TODSHelp(this, {
        {QStringLiteral("Allbutton"), {QStringLiteral("Click here to tick every position of the sheet")}},
        {QStringLiteral("CancelButton"), {QStringLiteral("Click here to keep the positions chosen before")}},
        {QStringLiteral("HelpButton"), {QStringLiteral("Click here to read the help page for this window")}},
        {QStringLiteral("LabelsList"), {QStringLiteral("Every position of the sheet, row by row; Row 1, Column 1 is the top left label. Tick the positions that are to receive a label; the others are left blank on every sheet")}},
        {QStringLiteral("Nonebutton"), {QStringLiteral("Click here to clear every tick")}},
        {QStringLiteral("Okbutton"), {QStringLiteral("Click here to print only the ticked positions from now on, until you open another label")}},
    });
    connect(Okbutton, &QPushButton::clicked, this, &TSelectLabelsToPrint::OkbuttonClick);
    connect(Allbutton, &QPushButton::clicked, this, &TSelectLabelsToPrint::AllbuttonClick);
    connect(Nonebutton, &QPushButton::clicked, this, &TSelectLabelsToPrint::NonebuttonClick);

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
