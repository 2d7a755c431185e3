#pragma once
// TSelectLabelsToPrint: "Select Specific Labels", the check list of a sheet's positions that
// decides where a run prints. OK stores the choice; a choice of every position closes with
// Cancel (every flag is then set, so every position prints anyway).
#include <QDialog>

class QListWidget;
class QListWidgetItem;
class QPushButton;
class QToolButton;
class TWindowServices;

namespace sw {
class TPositionSelection;
}

class TSelectLabelsToPrint : public QDialog {
    Q_OBJECT
public:
    TSelectLabelsToPrint(TWindowServices& services, sw::TPositionSelection& selection, int across,
                         int down, QWidget* parent = nullptr);

    // "Row r, Column c", both from 1.
    static QString PositionName(int row, int column);

    QListWidget* LabelsList;
    QPushButton* Okbutton;
    QPushButton* CancelButton;
    QPushButton* Allbutton;
    QPushButton* Nonebutton;
    QPushButton* HelpButton;
    QToolButton* MouseHelpButton;

    void FormCreate();
    void OkbuttonClick();
    void AllbuttonClick();
    void NonebuttonClick();

private:
    void CheckAll(bool on);
    QListWidgetItem* ItemNamed(const QString& name) const;

    TWindowServices& services_;
    sw::TPositionSelection& selection_;
    int across_;
    int down_;
};
