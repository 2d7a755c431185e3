#pragma once
// TPreviewForm: "Label Preview", the window that shows the sheet a preview run recorded. It is
// view-only: zoom, page width, whole page, previous and next page, help and close.
#include <QDialog>
#include <memory>

class QIODevice;
class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace sw {
class EReportPrinter;
class TFilePreview;
}

class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 1021;

    explicit TPreviewForm(QWidget* parent = nullptr);
    ~TPreviewForm() override;

    // The recorded run to show. The caller keeps the stream until the window is gone.
    void SetStream(QIODevice* stream);

    QScrollArea* ScrollBox1;
    QWidget* Panel2;
    QToolButton* sbZoomIn;
    QToolButton* sbZoomOut;
    QToolButton* sbZoomPageWidth;
    QToolButton* sbZoomPage;
    QToolButton* sbPrevPage;
    QToolButton* sbNextPage;
    QLabel* PageLabel;
    QPushButton* HelpButton;
    QToolButton* MouseHelpButton;
    QPushButton* CloseButton;
    std::unique_ptr<sw::TFilePreview> FilePreview1;

    // Starts the previewer on the first activation only.
    void FormActivate();
    void SBZoomInClick();
    void SBZoomOutClick();
    void SBZoomPageWidthClick();
    void SBZoomPageClick();
    void SBPrevPageClick();
    void sbNextPageClick();
    void FilePreview1PageChange();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Runs a previewer command; an engine error is shown to the user and ends nothing else.
    template <typename F>
    void Guarded(F&& command);
    void ShowError(const QString& message);

    bool firstActivation_ = true;
};
