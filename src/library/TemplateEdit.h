#pragma once
// The template editor: one template's geometry in inches or millimetres. The working copy is
// always in inches; the six length boxes show the unit chosen.
#include "library/TemplateCatalogue.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TWindowServices;

namespace sw::library {
// The "Paper size" list, in list order, and the "Label Shape" list.
inline constexpr const char* kPaperCodes[] = {"LTR", "LTRL", "A4", "A4L", "A5", "USER"};
inline constexpr const char* kShapeCodes[] = {"RR", "RE", "SR"};
int PaperIndex(const QString& code);  // any other code: 0
int ShapeIndex(const QString& code);  // any other code: 0
} // namespace sw::library

class TTemplateEdit : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 1011;
    TTemplateEdit(TWindowServices& services, const TTemplateValues& values, const QString& caption,
                  QWidget* parent = nullptr);

    // The working copy: what Save validated when the dialog closed with OK.
    const TTemplateValues& Values() const { return working_; }

    QLineEdit* eUserDesc;
    QLineEdit* elblwidth;
    QLineEdit* elblHeight;
    QLineEdit* eHorizPitch;
    QLineEdit* eVertPitch;
    QSpinBox* enbracross;
    QSpinBox* enbrdown;
    QLineEdit* eleftmarg;
    QLineEdit* etopmarg;
    QComboBox* epapersize;
    QRadioButton* Inchesbutton;
    QRadioButton* MMButton;
    QPushButton* CancelButton;
    QComboBox* eLabelShape;
    QPushButton* OKButton;

    // The editor's Save: takes the screen into the working copy and validates it; closes with
    // OK when it passes.
    void OKButtonClick();
    void InchesbuttonClick();
    void MMButtonClick();
    void elblwidthExit();
    void elblHeightExit();

private:
    enum Length { lnHeight, lnWidth, lnTop, lnLeft, lnHoriz, lnVert, lnCount };
    QLineEdit* Box(Length which) const;
    float& Field(Length which);
    // The box values into the working copy; false (after saying so) when one is not a number.
    bool TakeLengths(bool boxesInMillimetres);
    void ShowLengths();
    bool BoxNumber(QLineEdit* box, float* value);

    TWindowServices& services_;
    TTemplateValues working_;
    bool millimetres_ = false;
    // The text each box was last given. A box whose text is unchanged keeps the working copy's
    // exact value: showing 2.625 with two decimals must not store 2.63.
    std::array<QString, lnCount> shown_;
};
