#pragma once
// The splash window shown while the main window is built; with its "Ok" button, the About box.
#include <QDialog>

class QPushButton;
class QLabel;

class TSplashform : public QDialog {
    Q_OBJECT
public:
    explicit TSplashform(QWidget* parent = nullptr);

    // Shows the "Ok" button (the About box); the splash at start has none.
    void ShowOkButton();

    QPushButton* OkButton;
    QLabel* Title;
    QLabel* VersionLine;
    QLabel* PlatformLine;

protected:
    void paintEvent(QPaintEvent*) override;
};
