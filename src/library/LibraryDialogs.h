#pragma once
// The two choosers the label commands run. The program shows the real modal dialogs; tests
// put their own choices in.
#include "library/TemplateCatalogue.h"

#include <optional>

class TWindowServices;

class TLibraryDialogs {
public:
    virtual ~TLibraryDialogs() = default;
    // The label chooser on the open label table; true on OK, with the table's pointer on the
    // chosen label. On Cancel the pointer may be anywhere.
    virtual bool ChooseLabel(sw::xbase::Table& labels) = 0;
    // The template chooser on the open catalogue, opening on `current`; the chosen template on OK.
    virtual std::optional<TTemplateValues> ChooseTemplate(sw::xbase::Table& templates,
                                                          const QString& current) = 0;
};

// The modal TSelectLabel and TSelectTemplate, placed over the main window.
class TModalLibraryDialogs : public TLibraryDialogs {
public:
    explicit TModalLibraryDialogs(TWindowServices& services) : services_(services) {}
    bool ChooseLabel(sw::xbase::Table& labels) override;
    std::optional<TTemplateValues> ChooseTemplate(sw::xbase::Table& templates, const QString& current) override;

private:
    TWindowServices& services_;
};
