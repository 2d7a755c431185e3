#pragma once
// TSelectRecordsToPrint: "Select Records to Print", the check list of a merge source's records
// shown before a merge label prints. Every record starts checked; OK prints the checked ones in
// their order.
#include <QDialog>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class TWindowServices;

namespace sw {
struct TMergeData;
}

class TSelectRecordsToPrint : public QDialog {
    Q_OBJECT
public:
    TSelectRecordsToPrint(TWindowServices& services, const sw::TMergeData& data, QWidget* parent = nullptr);

    // How a record is listed: its number from 1 and its first fields' values on one line.
    static QString RecordName(const sw::TMergeData& data, int record);

    // Indexes of the checked records (valid after OK).
    const std::vector<int>& Chosen() const { return chosen_; }

    QLabel* CountLabel;
    QListWidget* RecordsList;
    QPushButton* Okbutton;
    QPushButton* CancelButton;
    QPushButton* Allbutton;
    QPushButton* Nonebutton;

    void OkbuttonClick();

private:
    void CheckAll(bool on);
    void ShowCount();

    TWindowServices& services_;
    std::vector<int> chosen_;
};
