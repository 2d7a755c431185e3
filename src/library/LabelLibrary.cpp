#include "library/LabelLibrary.h"
#include "library/Preferences.h"

#include "ui/WindowServices.h"

#include <QDir>

namespace {
TLibraryDialogs& DialogsOr(std::unique_ptr<TLibraryDialogs>& own, TLibraryDialogs* given, TWindowServices& s)
{
    if (given)
        return *given;
    own = std::make_unique<TModalLibraryDialogs>(s);
    return *own;
}
} // namespace

TLabelLibrary::TLabelLibrary(TWindowServices& services, TLabelScreen& screen, const QString& dataDir,
                             TLibraryDialogs* dialogs)
    : services_(services), store_(services, screen, dataDir),
      commands_(services, screen, store_, DialogsOr(ownDialogs_, dialogs, services))
{
}

QString TLabelLibrary::PreferencesPath() const
{
    return store_.DataDirectory() + QString::fromLatin1(sw::library::kPreferencesFileName);
}

void TLabelLibrary::LoadPreferences()
{
    services_.State().LastUseRecNo = sw::library::ReadLastUse(PreferencesPath());
}

bool TLabelLibrary::SavePreferences()
{
    TWindowState& st = services_.State();
    st.LastUseRecNo = static_cast<std::int32_t>(store_.RecNo());
    if (!sw::library::WriteLastUse(PreferencesPath(), st.LastUseRecNo)) {
        services_.ShowMessage(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(PreferencesPath())));
        return false;
    }
    return true;
}

bool TLabelLibrary::FormActivate()
{
    LoadPreferences();
    TWindowState& st = services_.State();
    if (!st.FirstActivation)
        return true;
    if (!store_.OpenLabelFile())
        return false;
    if (store_.HasCurrentRecord()) {
        // A record that is gone, deleted or beyond the end leaves the first label current.
        if (st.LastUseRecNo > 0 && !store_.GoToRecord(static_cast<std::uint32_t>(st.LastUseRecNo)))
            store_.GoFirst();
        st.StartingUp = false;
        // A label that cannot be read whole is shown as far as it can be, with a message: the
        // start goes on and every other label stays within reach.
        store_.LoadFromLabelFile();
    }
    st.StartingUp = false;
    services_.UpdateScreenStatus();
    st.IsNewLabel = false;
    st.FirstActivation = false;
    return true;
}
