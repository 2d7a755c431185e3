#pragma once
// The template chooser: the catalogue by name, with New/Edit/Delete for the user's own
// templates. It works on the open template table it is given.
#include "library/TemplateCatalogue.h"

#include <QDialog>
#include <functional>
#include <optional>

class QPushButton;
class QTableView;
class TTableGridModel;
class TWindowServices;

class TSelectTemplate : public QDialog {
    Q_OBJECT
public:
    // Runs the template editor modally; returns the edited values on Save, nothing on Cancel.
    using EditorRunner =
        std::function<std::optional<TTemplateValues>(const TTemplateValues&, const QString& caption)>;

    TSelectTemplate(TWindowServices& services, sw::xbase::Table& templates,
                    const QString& currentTemplate, QWidget* parent = nullptr);

    QTableView* LabelGrid;
    QPushButton* OKButton;
    QPushButton* NewButton;
    QPushButton* EditButton;
    QPushButton* DeleteButton;
    QPushButton* CancelButton;

    TTableGridModel* Model() const { return model_; }
    // Replaces the modal editor (tests drive the chooser without it).
    void SetEditorRunner(EditorRunner runner) { runEditor_ = std::move(runner); }

    // The template under the grid's pointer; nothing when the catalogue is empty.
    std::optional<TTemplateValues> Selected() const;

    void NewButtonClick();
    void EditButtonClick();
    void DeleteButtonClick();
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void GoToFirstNamed(const QString& name);
    void SelectRecord(std::uint32_t recno);
    // Stores the values into the current (appended or edited) record and posts it; says so and
    // drops the change when the table refuses.
    bool Store(const TTemplateValues& values);

    TWindowServices& services_;
    sw::xbase::Table& table_;
    TTableGridModel* model_;
    QString wanted_;
    bool activated_ = false;
    EditorRunner runEditor_;
};
