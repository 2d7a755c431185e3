// The description box keeps only what the label table can hold: characters outside
// Windows-1252 are taken out where they are typed, named, and the rest stays.
#include "model/StorableText.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

TEST(StorableText, RefusedCharactersAreNamedAndTheRestIsKept)
{
    // Latin-1 letters and the Windows-1252 extras (euro, dashes, quotes) are storable.
    EXPECT_EQ(sw::FirstUnstorable(QStringLiteral("Caf\u00e9 \u20ac5 \u2013 \u201cok\u201d")), QString());
    EXPECT_EQ(sw::FirstUnstorable(QStringLiteral("a\u2192b\u2193")), QStringLiteral("\u2192"));
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    EXPECT_EQ(sw::FirstUnstorable(QStringLiteral("x") + emoji), emoji);
    EXPECT_EQ(sw::UnstorableMessage(QStringLiteral("\u2192")),
              QStringLiteral("The character \"\u2192\" (U+2192) cannot be stored in a label"));
    EXPECT_EQ(sw::UnstorableMessage(emoji),
              QStringLiteral("The character \"%1\" (U+1F600) cannot be stored in a label").arg(emoji));

    sw::TStorableTextValidator validator;
    QStringList refused;
    validator.Refused = [&refused](const QString& c) { refused << c; };
    // The cursor before "d": both refused characters stood before it.
    QString text = QStringLiteral("ab\u2192c") + emoji + QStringLiteral("d");
    int pos = int(text.size()) - 1;
    EXPECT_EQ(validator.validate(text, pos), QValidator::Acceptable);
    EXPECT_EQ(text, QStringLiteral("abcd"));
    EXPECT_EQ(pos, 3);
    EXPECT_TRUE(refused.isEmpty()); // reported after the edit, from the event loop
    QCoreApplication::processEvents();
    EXPECT_EQ(refused, QStringList{QStringLiteral("\u2192")});

    QString fine = QStringLiteral("Shipping \u20ac");
    pos = 3;
    EXPECT_EQ(validator.validate(fine, pos), QValidator::Acceptable);
    EXPECT_EQ(fine, QStringLiteral("Shipping \u20ac"));
    EXPECT_EQ(pos, 3);
}
