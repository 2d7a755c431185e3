#include "model/PositionSelection.h"

namespace sw {

void TPositionSelection::ClearPositionSelection()
{
    flags_.fill(0);
    SpecificPositionsOnly = false;
}

bool TPositionSelection::IsSet(int index) const
{
    return index >= 0 && index < kSize && flags_[static_cast<std::size_t>(index)] != 0;
}

void TPositionSelection::Set(int index, bool on)
{
    if (index >= 0 && index < kSize)
        flags_[static_cast<std::size_t>(index)] = on ? 1 : 0;
}

bool TPositionSelection::Prints(int row, int column, int across) const
{
    if (!SpecificPositionsOnly)
        return true;
    return IsSet(row * across + column);
}

} // namespace sw
