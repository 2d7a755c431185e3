#include "designer/Nudges.h"

#include "designer/CanvasPanel.h"
#include "designer/DesignHistory.h"
#include "designer/Designer.h"
#include "model/LabelItems.h"

#include <QCheckBox>
#include <QToolButton>

namespace {
QPoint Step(int direction)
{
    switch (direction) {
    case TNudges::Up:
        return {0, -1};
    case TNudges::Down:
        return {0, 1};
    case TNudges::Left:
        return {-1, 0};
    case TNudges::Right:
        return {1, 0};
    default:
        return {};
    }
}
} // namespace

TNudges::TNudges(TDesigner& designer)
    : designer_(designer)
{
}

void TNudges::ConnectButtons(QToolButton* up, QToolButton* down, QToolButton* right, QToolButton* left,
                             QCheckBox* moveAll)
{
    moveAll_ = moveAll;
    if (moveAll_)
        moveAll_->setChecked(false);
    const std::pair<QToolButton*, void (TNudges::*)()> buttons[] = {
        {up, &TNudges::PosUpButtonClick},
        {down, &TNudges::PosDownButtonClick},
        {right, &TNudges::PosRightButtonClick},
        {left, &TNudges::PosLeftButtonClick},
    };
    for (const auto& [button, click] : buttons) {
        if (!button)
            continue;
        button->setAutoRepeat(true);
        button->setAutoRepeatDelay(RepeatDelay);
        button->setAutoRepeatInterval(RepeatInterval);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, click);
    }
}

bool TNudges::MoveAllChecked() const
{
    return moveAll_ && moveAll_->isChecked();
}

void TNudges::Nudge(Direction d)
{
    if (MoveAllChecked()) {
        MoveAllObjects(d);
        return;
    }
    TStretchHandle* handle = designer_.StretchHandle1();
    if (!designer_.Selected())
        return;
    const TDesignStep step(designer_.History(), QStringLiteral("Nudge"));
    const QPoint by = Step(d);
    handle->MoveBy(by.x(), by.y());
    handle->update();
    designer_.Panel().update();
    designer_.TriggerChange();
}

void TNudges::MoveAllObjects(int direction)
{
    const TDesignStep undoStep(designer_.History(), QStringLiteral("Move All"));
    designer_.DetachControl();
    const QPoint step = Step(direction);
    for (TLabelItem* item : designer_.Items().OrderList()) {
        if (item->IsSpecial())
            item->SetBounds(item->Left() + step.x(), item->Top() + step.y(), item->Width(), item->Height());
    }
    designer_.Panel().update();
    designer_.TriggerChange();
}
