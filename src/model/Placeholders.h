#pragma once
// Placeholders in item texts: "{NAME}" or "{NAME:ARG}" stand for a value given by the caller
// (a merge field, the run's counter). "{{" writes one literal "{". A brace that does not open
// a well-formed placeholder (no closing "}", an empty name, a line break or another "{"
// before the "}") stays as it is, so ordinary text with stray braces prints unchanged.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace sw {

struct TPlaceholder {
    QString Name;    // as written, case kept; the text before the first ":"
    QString Arg;     // the text after the first ":"
    bool HasArg = false;
};

// The value of one placeholder, or nothing when the name (or its argument) is not known.
using TPlaceholderResolver = std::function<std::optional<QString>(const TPlaceholder&)>;

// The value of a merge field by name (compared ignoring case), or nothing when there is none.
using TFieldLookup = std::function<std::optional<QString>(const QString& name)>;

struct TExpansion {
    QString Text;
    // Names the resolver did not know, each once, in order of first use. Their placeholders
    // stay in Text as written.
    QStringList Unknown;
    bool Ok() const { return Unknown.isEmpty(); }
};

TExpansion ExpandPlaceholders(const QString& text, const TPlaceholderResolver& resolve);

// The placeholders of a text, in order (repeats included); "{{" is not one.
QList<TPlaceholder> PlaceholdersIn(const QString& text);

// The names used in a text, each once, in order of first use (compared exactly).
QStringList PlaceholderNames(const QString& text);

// True when the text holds at least one placeholder.
bool HasPlaceholders(const QString& text);

} // namespace sw
