// The template editor: units, pitch follow-up and the checks of its Save.
#include "support/Fakes.h"
#include "library/TemplateEdit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TTemplateValues Address()
{
    TTemplateValues v;
    v.Description = QStringLiteral("Address");
    v.LblHeight = 1.0f;
    v.LblWidth = 2.625f;
    v.NbrAcross = 3;
    v.NbrDown = 10;
    v.TopMarg = 0.5f;
    v.LeftMarg = 0.1875f;
    v.HorizPitch = 2.75f;
    v.VertPitch = 1.0f;
    v.PaperSize = QStringLiteral("LTR");
    v.LblShape = QStringLiteral("RR");
    return v;
}

struct Editor {
    FakeServices services;
    TTemplateEdit edit;
    explicit Editor(TTemplateValues v = Address()) : edit(services, v, QStringLiteral("Edit Label Template")) {}

    // Types into a box as the user does: select all, type, leave the box.
    void Type(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        emit box->editingFinished();
    }
    // Save; the message shown, empty when the editor closed with OK.
    QString Save()
    {
        services.messages.clear();
        edit.OKButtonClick();
        return services.messages.value(0);
    }
    void Millimetres()
    {
        edit.MMButton->setChecked(true);
        edit.MMButtonClick();
    }
    void Inches()
    {
        edit.Inchesbutton->setChecked(true);
        edit.InchesbuttonClick();
    }
};

} // namespace

TEST(TemplateEdit, OpensOnTheWorkingCopy)
{
    Editor e;
    EXPECT_EQ(e.edit.windowTitle(), "Edit Label Template");
    EXPECT_EQ(e.edit.eUserDesc->text(), "Address");
    EXPECT_EQ(e.edit.elblwidth->text(), "2.63"); // two decimals shown; the value stays 2.625
    EXPECT_EQ(e.edit.elblHeight->text(), "1.00");
    EXPECT_EQ(e.edit.enbracross->value(), 3);
    EXPECT_EQ(e.edit.epapersize->currentIndex(), 0);
    EXPECT_EQ(e.edit.eLabelShape->currentIndex(), 0);
    EXPECT_TRUE(e.edit.Inchesbutton->isChecked());

    TTemplateValues odd = Address();
    odd.PaperSize = "XX";
    odd.LblShape = "SR";
    odd.NbrAcross = 40; // beyond the spin box: kept within 1 to 10
    Editor o(odd);
    EXPECT_EQ(o.edit.epapersize->currentIndex(), 0);
    EXPECT_EQ(o.edit.eLabelShape->currentIndex(), 2);
    EXPECT_EQ(o.edit.enbracross->value(), 10);
}

TEST(TemplateEdit, UntouchedBoxesKeepTheirExactValues)
{
    Editor e;
    e.Millimetres();
    EXPECT_EQ(e.edit.elblwidth->text(), "67"); // 66.675 mm
    e.Inches();
    ASSERT_EQ(e.Save(), "");
    EXPECT_FLOAT_EQ(e.edit.Values().LblWidth, 2.625f);
    EXPECT_FLOAT_EQ(e.edit.Values().LeftMarg, 0.1875f);
}

TEST(TemplateEdit, MillimetresRoundTrip)
{
    Editor e;
    e.Millimetres();
    e.Type(e.edit.elblwidth, "50");
    e.Inches();
    EXPECT_EQ(e.edit.elblwidth->text(), "1.97");
    e.Millimetres();
    EXPECT_EQ(e.edit.elblwidth->text(), "50");
    ASSERT_EQ(e.Save(), "");
    EXPECT_NEAR(e.edit.Values().LblWidth, 50 / 25.4, 1e-5);
}

TEST(TemplateEdit, HeightAndWidthLimitsInBothUnits)
{
    Editor e;
    e.Type(e.edit.elblHeight, "0.3");
    EXPECT_EQ(e.Save(), "") << "0.3 inches is enough";

    Editor m;
    m.Millimetres();
    m.Type(m.edit.elblHeight, "7");
    EXPECT_EQ(m.Save(), "Label Height must be at least .3 inches (or 7mm)");
    m.Type(m.edit.elblHeight, "8");
    m.Type(m.edit.elblwidth, "25");
    EXPECT_EQ(m.Save(), "Label Width must be at least 1 inch (or 25mm)");
    m.Type(m.edit.elblwidth, "26");
    EXPECT_EQ(m.Save(), "");
}

TEST(TemplateEdit, ChecksComeInOrderAndKeepTheDialogOpen)
{
    Editor e;
    e.edit.show();
    e.Type(e.edit.elblHeight, "0.1");
    e.Type(e.edit.elblwidth, "0.5");
    e.edit.eUserDesc->clear();
    EXPECT_EQ(e.Save(), "Label Height must be at least .3 inches (or 7mm)");
    EXPECT_TRUE(e.edit.isVisible());
    e.Type(e.edit.elblHeight, "1");
    EXPECT_EQ(e.Save(), "Label Width must be at least 1 inch (or 25mm)");
    e.Type(e.edit.elblwidth, "3");
    // Leaving the width box raised the pitch with it; put a narrower pitch back.
    EXPECT_EQ(e.edit.eHorizPitch->text(), "3");
    e.Type(e.edit.eHorizPitch, "2.75");
    EXPECT_EQ(e.Save(), "Horizontal Pitch must be at least = Label Width");
    e.edit.enbracross->setValue(1);
    EXPECT_EQ(e.Save(), "You must provide a description") << "one across: any pitch";
    e.Type(e.edit.elblHeight, "2");
    EXPECT_EQ(e.edit.eVertPitch->text(), "2");
    e.Type(e.edit.eVertPitch, "1.5");
    EXPECT_EQ(e.Save(), "Vertical Pitch must be at least = Label Height");
    e.edit.enbrdown->setValue(1);
    EXPECT_EQ(e.Save(), "You must provide a description");
    e.edit.eUserDesc->setText("Mine");
    EXPECT_EQ(e.Save(), "");
    EXPECT_EQ(e.edit.result(), QDialog::Accepted);
}

TEST(TemplateEdit, PitchFollowsOnlyWhenTheSizeOutgrowsIt)
{
    Editor e;
    e.Type(e.edit.elblwidth, "2.5");
    EXPECT_EQ(e.edit.eHorizPitch->text(), "2.75");
    e.Millimetres();
    e.Type(e.edit.elblHeight, "30");
    EXPECT_EQ(e.edit.eVertPitch->text(), "30");
}

TEST(TemplateEdit, UserPaperIsKeptAndListsGiveTheCodes)
{
    TTemplateValues v = Address();
    v.PaperSize = "USER";
    Editor e(v);
    EXPECT_EQ(e.edit.epapersize->currentIndex(), 5);
    EXPECT_EQ(e.edit.epapersize->currentText(), "Other (User Defined)");
    ASSERT_EQ(e.Save(), "");
    EXPECT_EQ(e.edit.Values().PaperSize, "USER");

    Editor a;
    a.edit.epapersize->setCurrentIndex(3);
    a.edit.eLabelShape->setCurrentIndex(1);
    ASSERT_EQ(a.Save(), "");
    EXPECT_EQ(a.edit.Values().PaperSize, "A4L");
    EXPECT_EQ(a.edit.Values().LblShape, "RE");
}

TEST(TemplateEdit, TextThatIsNotANumberIsReported)
{
    Editor e;
    e.Type(e.edit.etopmarg, "abc");
    EXPECT_EQ(e.Save(), "'abc' is not a valid floating point value");
    EXPECT_NE(e.edit.result(), QDialog::Accepted);
    e.Type(e.edit.etopmarg, "0,25"); // a comma is taken as the decimal separator
    EXPECT_EQ(e.Save(), "");
    EXPECT_FLOAT_EQ(e.edit.Values().TopMarg, 0.25f);
}
