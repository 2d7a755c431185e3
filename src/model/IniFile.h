#pragma once
// QX.INI and its kind: "[Section]" headers and "KEY=VALUE" lines, section and key names compared
// without regard to case. The file is read as Latin-1 bytes and written back the same way with
// CRLF line ends, so bytes that are not Latin-1 text (a UTF-8 path) survive a round trip. Writing
// keeps every line it does not change, and replaces the file in one step: a failed write leaves
// the old file whole.
#include <QString>
#include <QStringList>

namespace sw {

class TIniFile {
public:
    // Reads the file; a missing or unreadable file reads as empty.
    explicit TIniFile(QString path);

    const QString& Path() const { return path_; }
    // The value of the key in the section; empty (and found false) when either is missing.
    QString Value(const QString& section, const QString& key, bool* found = nullptr) const;
    bool HasSection(const QString& section) const;
    // Sets the key, adding it at the end of its section (before the blank lines that close
    // it), or the section at the end of the file.
    void SetValue(const QString& section, const QString& key, const QString& value);
    // Removes the section with its keys; the other sections stay as they are.
    void RemoveSection(const QString& section);
    // False when the file cannot be written.
    bool Save() const;

private:
    // Line index of the section header and one past its last line; header -1 when missing.
    void FindSection(const QString& section, qsizetype* header, qsizetype* end) const;

    QString path_;
    QStringList lines_;
};

} // namespace sw

namespace sw {

// Text that may hold any character, as the Latin-1 text of its UTF-8 bytes (what the file
// stores), and back.
QString IniTextFromUnicode(const QString& text);
QString IniTextToUnicode(const QString& iniText);

} // namespace sw
