#include "library/LibraryDialogs.h"
#include "library/SelectLabel.h"
#include "library/SelectTemplate.h"

#include "ui/WindowServices.h"

bool TModalLibraryDialogs::ChooseLabel(sw::xbase::Table& labels)
{
    TSelectLabel chooser(labels, services_.MainWidget());
    services_.CenterOverMainWindow(&chooser);
    return chooser.exec() == QDialog::Accepted;
}

std::optional<TTemplateValues> TModalLibraryDialogs::ChooseTemplate(sw::xbase::Table& templates,
                                                                    const QString& current)
{
    TSelectTemplate chooser(services_, templates, current, services_.MainWidget());
    services_.CenterOverMainWindow(&chooser);
    if (chooser.exec() != QDialog::Accepted)
        return std::nullopt;
    return chooser.Selected();
}
