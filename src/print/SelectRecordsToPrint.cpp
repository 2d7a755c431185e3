#include "print/SelectRecordsToPrint.h"

#include "model/MergeSource.h"
#include "print/CheckListButtons.h"
#include "ui/WindowServices.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kFieldsShown = 4;
}

TSelectRecordsToPrint::TSelectRecordsToPrint(TWindowServices& services, const sw::TMergeData& data, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), services_(services)
{
    setObjectName(QStringLiteral("SelectRecordsToPrint"));
    setWindowTitle(QStringLiteral("Select Records to Print"));
    resize(460, 320);

    CountLabel = new QLabel(this);
    CountLabel->setObjectName(QStringLiteral("CountLabel"));
    RecordsList = new QListWidget(this);
    RecordsList->setObjectName(QStringLiteral("RecordsList"));
    RecordsList->setUniformItemSizes(true);
    for (int r = 0; r < int(data.Records.size()); ++r) {
        auto* item = new QListWidgetItem(RecordName(data, r), RecordsList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
        item->setData(Qt::UserRole, r);
    }
    connect(RecordsList, &QListWidget::itemChanged, this, [this] { ShowCount(); });

    const TCheckListButtons buttons = MakeCheckListButtons(this);
    Okbutton = buttons.Ok;
    CancelButton = buttons.Cancel;
    Allbutton = buttons.All;
    Nonebutton = buttons.None;
    connect(Okbutton, &QPushButton::clicked, this, &TSelectRecordsToPrint::OkbuttonClick);
    connect(Allbutton, &QPushButton::clicked, this, [this] { CheckAll(true); });
    connect(Nonebutton, &QPushButton::clicked, this, [this] { CheckAll(false); });

    auto* side = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(Okbutton), static_cast<QWidget*>(CancelButton),
                       static_cast<QWidget*>(Allbutton), static_cast<QWidget*>(Nonebutton)})
        side->addWidget(w);
    side->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(CountLabel);
    left->addWidget(RecordsList, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(side);
    ShowCount();
}

QString TSelectRecordsToPrint::RecordName(const sw::TMergeData& data, int record)
{
    const QStringList& values = data.Records[std::size_t(record)];
    QStringList shown;
    for (qsizetype f = 0; f < values.size() && f < kFieldsShown; ++f)
        shown << QString(values[f]).replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QStringLiteral("%1: %2").arg(record + 1).arg(shown.join(QStringLiteral(", ")));
}

void TSelectRecordsToPrint::ShowCount()
{
    int checked = 0;
    for (int i = 0; i < RecordsList->count(); ++i)
        checked += RecordsList->item(i)->checkState() == Qt::Checked ? 1 : 0;
    CountLabel->setText(QStringLiteral("%1 of %2 records checked").arg(checked).arg(RecordsList->count()));
}

void TSelectRecordsToPrint::CheckAll(bool on)
{
    RecordsList->blockSignals(true);
    for (int i = 0; i < RecordsList->count(); ++i)
        RecordsList->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    RecordsList->blockSignals(false);
    ShowCount();
}

void TSelectRecordsToPrint::OkbuttonClick()
{
    chosen_.clear();
    for (int i = 0; i < RecordsList->count(); ++i)
        if (RecordsList->item(i)->checkState() == Qt::Checked)
            chosen_.push_back(RecordsList->item(i)->data(Qt::UserRole).toInt());
    if (chosen_.empty()) {
        services_.ShowInformation(QStringLiteral("No records selected"));
        return;
    }
    accept();
}
