#pragma once
// TPreviewForm: the window that shows a recorded preview run. This one shows the first page of
// the report stream at 100 % in a scroll area.
#include <QDialog>

class QIODevice;
class QLabel;
class QScrollArea;

class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    explicit TPreviewForm(QWidget* parent = nullptr);

    // The stream to show; read when the window is shown (the caller keeps it alive until then).
    void SetStream(QIODevice* stream);

    QScrollArea* ScrollBox;
    QLabel* Page;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowFirstPage();
    QIODevice* stream_ = nullptr;
};
