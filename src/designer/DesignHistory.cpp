#include "designer/DesignHistory.h"

#include "designer/Designer.h"
#include "model/ImageItem.h"
#include "model/ItemText.h"
#include "model/LabelItems.h"
#include "ui/WindowServices.h"

#include <QTimer>
#include <QUndoCommand>
#include <QUndoStack>
#include <algorithm>

namespace {

constexpr int kMergeId = 1;

class TItemsStep : public QUndoCommand {
public:
    TItemsStep(TDesignHistory& history, const QString& name, TDesignSnapshot before, TDesignSnapshot after)
        : QUndoCommand(name)
        , history_(history)
        , before_(std::move(before))
        , after_(std::move(after))
    {
        made_.start();
    }

    void undo() override { history_.Restore(before_); }
    void redo() override
    {
        // The first redo is the push: the command has already done its work.
        if (pushed_)
            history_.Restore(after_);
        pushed_ = true;
    }
    int id() const override { return TDesignHistory::Merges(text()) ? kMergeId : -1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const TItemsStep*>(other);
        if (next->text() != text() || next->before_.Selected != after_.Selected
            || made_.elapsed() > TDesignHistory::kMergeMs)
            return false;
        after_ = next->after_;
        made_.restart();
        return true;
    }

private:
    TDesignHistory& history_;
    TDesignSnapshot before_;
    TDesignSnapshot after_;
    QElapsedTimer made_;
    bool pushed_ = false;
};

} // namespace

TDesignHistory::TDesignHistory(TDesigner& designer)
    : designer_(designer)
    , stack_(new QUndoStack(this))
{
}

TDesignHistory::~TDesignHistory()
{
    // Commands call back into the history while the stack clears.
    stack_->blockSignals(true);
    delete stack_;
    stack_ = nullptr;
}

bool TDesignHistory::Merges(const QString& name)
{
    return name == QLatin1String("Nudge");
}

int TDesignHistory::SelectedIndex() const
{
    TLabelItem* selected = designer_.Selected();
    if (!selected)
        return -1;
    const auto& order = designer_.Items().OrderList();
    const auto it = std::find(order.begin(), order.end(), selected);
    return it == order.end() ? -1 : int(it - order.begin());
}

QString TDesignHistory::Capture()
{
    TLabelItems& items = designer_.Items();
    QStringList lines;
    sw::SaveItems(items, lines);
    for (TLabelItem* item : items.OrderList())
        if (auto* image = dynamic_cast<TImageItem*>(item); image && !image->Hint().isEmpty())
            pictures_.insert(image->Hint(), image->Picture());
    return sw::JoinItemText(lines);
}

void TDesignHistory::Begin(const QString& name)
{
    // A change still waiting to become a step goes first, so this one starts from it.
    CommitPending();
    if (depth_++ > 0)
        return;
    name_ = name;
    selectedBefore_ = SelectedIndex();
}

void TDesignHistory::End()
{
    if (depth_ == 0 || --depth_ > 0)
        return;
    Commit(name_, selectedBefore_);
}

void TDesignHistory::Changed()
{
    if (restoring_ || depth_ > 0 || pending_ || designer_.Services().State().LoadingLabel)
        return;
    pending_ = true;
    const int selected = SelectedIndex();
    QTimer::singleShot(0, this, [this, selected] {
        if (!pending_)
            return;
        pending_ = false;
        Commit(QStringLiteral("Change"), selected);
    });
}

void TDesignHistory::CommitPending()
{
    if (!pending_ || depth_ > 0 || restoring_)
        return;
    pending_ = false;
    Commit(QStringLiteral("Change"), SelectedIndex());
}

void TDesignHistory::Commit(const QString& name, int selectedBefore)
{
    if (!designer_.HasItems())
        return;
    QString after = Capture();
    if (after == current_)
        return;
    TDesignSnapshot before{current_, selectedBefore};
    current_ = after;
    stack_->push(new TItemsStep(*this, name, std::move(before), TDesignSnapshot{std::move(after), SelectedIndex()}));
}

void TDesignHistory::LabelLoaded(bool keepIfSame)
{
    pending_ = false;
    const QString now = designer_.HasItems() ? Capture() : QString();
    if (keepIfSame && now == current_)
        return;
    stack_->clear();
    pictures_.clear();
    current_ = designer_.HasItems() ? Capture() : QString();
}

void TDesignHistory::Restore(const TDesignSnapshot& snapshot)
{
    TLabelItems& items = designer_.Items();
    restoring_ = true;
    items.SetInteractive(false);
    items.SetPictureSource([this](const QString& path, sw::Picture& picture) {
        const auto it = pictures_.constFind(path);
        if (it == pictures_.constEnd())
            return false;
        picture = *it;
        return true;
    });
    designer_.ReleaseSelection();
    items.DeleteAllItems();
    // The text was written by this program moments ago; it reads back whole.
    sw::REstoreItems(items, sw::SplitItemText(snapshot.Text), nullptr, sw::TReadMode::Whole);
    items.SetPictureSource({});
    items.SetInteractive(true);
    restoring_ = false;
    current_ = snapshot.Text;
    const auto& order = items.OrderList();
    if (snapshot.Selected >= 0 && snapshot.Selected < int(order.size()))
        designer_.AttachControl(order[std::size_t(snapshot.Selected)]);
    designer_.Repaint();
    designer_.Services().TriggerChange();
}
