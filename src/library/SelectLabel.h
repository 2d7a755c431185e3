#pragma once
// The label chooser: every visible label in description order, in a grid bound to the label
// table. Moving in the grid moves the table's record pointer; OK leaves it on the chosen label.
#include <QDialog>

class QPushButton;
class QTableView;
class TTableGridModel;
namespace sw::xbase { class Table; }

class TSelectLabel : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 1023;
    TSelectLabel(sw::xbase::Table& labels, QWidget* parent = nullptr);

    QTableView* LabelsGrid;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    TTableGridModel* Model() const { return model_; }

    void accept() override;

private:
    TTableGridModel* model_;
};
