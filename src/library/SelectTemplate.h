#pragma once
// The template chooser: the catalogue by name, found by typing, with New/Edit/Delete for the
// user's own templates and Import for stocks from template files. It works on the open
// template table it is given.
#include "library/TemplateCatalogue.h"
#include "library/TemplateFinder.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;
class QTableView;
class TTableGridModel;
class TWindowServices;

class TSelectTemplate : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 1015;
    // Runs the template editor modally; returns the edited values on Save, nothing on Cancel.
    using EditorRunner =
        std::function<std::optional<TTemplateValues>(const TTemplateValues&, const QString& caption)>;

    // Runs the import dialog on the table; returns the record number of the last stock it
    // added, 0 when it added none.
    using ImportRunner = std::function<std::uint32_t(sw::xbase::Table&)>;

    TSelectTemplate(TWindowServices& services, sw::xbase::Table& templates,
                    const QString& currentTemplate, QWidget* parent = nullptr);

    QLineEdit* FindEdit;
    QPushButton* ImportButton;
    QTableView* LabelGrid;
    QPushButton* OKButton;
    QPushButton* NewButton;
    QPushButton* EditButton;
    QPushButton* DeleteButton;
    QPushButton* CancelButton;

    TTableGridModel* Model() const { return model_; }
    // Replaces the modal editor (tests drive the chooser without it).
    void SetEditorRunner(EditorRunner runner) { runEditor_ = std::move(runner); }
    void SetImportRunner(ImportRunner runner) { runImport_ = std::move(runner); }

    // The template under the grid's pointer; nothing when the catalogue is empty.
    std::optional<TTemplateValues> Selected() const;

    void NewButtonClick();
    void EditButtonClick();
    void DeleteButtonClick();
    void ImportButtonClick();
    void FindEditChange();
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void GoToFirstNamed(const QString& name);
    // Reads the names again after the table changed, shows what the find box matches and
    // selects the record (the find box is cleared when it would hide it); with no record, the
    // row nearest the one selected before.
    void SelectRecord(std::uint32_t recno);
    void SelectRow(int row);
    // Stores the values into the current (appended or edited) record and posts it; says so and
    // drops the change when the table refuses.
    bool Store(const TTemplateValues& values);

    TWindowServices& services_;
    sw::xbase::Table& table_;
    TTableGridModel* model_;
    sw::library::TTemplateFinder finder_;
    QString wanted_;
    bool activated_ = false;
    EditorRunner runEditor_;
    ImportRunner runImport_;
};
