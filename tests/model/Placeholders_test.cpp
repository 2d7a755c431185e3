// Placeholders: what expands, what stays literal, and what the caller learns about names.
#include "model/Placeholders.h"

#include <gtest/gtest.h>

namespace {

std::optional<QString> Resolve(const sw::TPlaceholder& p)
{
    if (p.Name.compare(QStringLiteral("name"), Qt::CaseInsensitive) == 0 && !p.HasArg)
        return QStringLiteral("Ada");
    if (p.Name == QStringLiteral("COUNTER")) {
        if (!p.HasArg)
            return QStringLiteral("7");
        bool ok = false;
        const int width = p.Arg.toInt(&ok);
        if (!ok)
            return std::nullopt;
        return QStringLiteral("7").rightJustified(width, u'0');
    }
    return std::nullopt;
}

} // namespace

TEST(Placeholders, ExpandsNamesAndArgumentsAndKeepsLiterals)
{
    auto expand = [](const char* s) { return sw::ExpandPlaceholders(QString::fromUtf8(s), Resolve); };
    EXPECT_EQ(expand("Hi {Name}, no. {COUNTER:4}").Text, QStringLiteral("Hi Ada, no. 0007"));
    EXPECT_EQ(expand("{COUNTER}{COUNTER}").Text, QStringLiteral("77"));
    // "{{" is one literal brace, also right before a placeholder.
    EXPECT_EQ(expand("{{COUNTER}").Text, QStringLiteral("{COUNTER}"));
    EXPECT_EQ(expand("{{{COUNTER}}").Text, QStringLiteral("{7}"));
    // Braces that open no placeholder stay as written and are not reported.
    for (const char* s : {"a { b", "{}", "{:3}", "x}", "{a\nb}", "{", "set {x"}) {
        const sw::TExpansion e = expand(s);
        EXPECT_EQ(e.Text, QString::fromUtf8(s)) << s;
        EXPECT_TRUE(e.Ok()) << s;
    }
    EXPECT_EQ(expand("{a{COUNTER}").Text, QStringLiteral("{a7"));
    EXPECT_EQ(expand("").Text, QString());
}

TEST(Placeholders, UnknownNamesAreReportedOnceAndLeftInPlace)
{
    const sw::TExpansion e = sw::ExpandPlaceholders(
        QStringLiteral("{CITY} {COUNTER:x} {CITY} {Name}"), Resolve);
    EXPECT_FALSE(e.Ok());
    EXPECT_EQ(e.Unknown, (QStringList{QStringLiteral("CITY"), QStringLiteral("COUNTER")}));
    EXPECT_EQ(e.Text, QStringLiteral("{CITY} {COUNTER:x} {CITY} Ada"));
}

TEST(Placeholders, NamesUsedInAText)
{
    EXPECT_EQ(sw::PlaceholderNames(QStringLiteral("{A}{b:2} {{C} {A} {b}")),
              (QStringList{QStringLiteral("A"), QStringLiteral("b")}));
    const QList<sw::TPlaceholder> all = sw::PlaceholdersIn(QStringLiteral("{COUNTER:06}-{X:}"));
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].Name, QStringLiteral("COUNTER"));
    EXPECT_EQ(all[0].Arg, QStringLiteral("06"));
    EXPECT_TRUE(all[0].HasArg);
    EXPECT_TRUE(all[1].HasArg);
    EXPECT_EQ(all[1].Arg, QString());
    EXPECT_TRUE(sw::HasPlaceholders(QStringLiteral("#{N}")));
    EXPECT_FALSE(sw::HasPlaceholders(QStringLiteral("{{N}")));
    EXPECT_FALSE(sw::HasPlaceholders(QStringLiteral("plain")));
}
