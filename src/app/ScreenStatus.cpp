#include "app/ScreenStatus.h"

namespace sw {

ScreenStatus ComputeScreenStatus(const ScreenState& s)
{
    const bool dirty = s.Dirty();
    ScreenStatus st{};
    st.DesignPanelsVisible = !s.TableEmpty || s.IsNewLabel;
    st.ExitButtonVisible = !dirty;
    st.SelectAndNewEnabled = !dirty;
    st.LabelMenuEnabled = !dirty;
    st.PrintPreviewEnabled = !s.TableEmpty;
    st.RebuildIndexesEnabled = !s.SaveVisible;
    return st;
}

} // namespace sw
