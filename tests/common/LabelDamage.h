#pragma once
// Damaged copies of a label table, for the checks that the program starts on each one, names
// what it cannot read and keeps every other label whole.
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace damage {

// One label as stored: every field's text and the memo, by field name.
using StoredLabel = std::map<std::string, std::string>;

inline constexpr int kLabels = 6;

// The description MakeLabelTable gives record n (1-based).
std::string Description(std::uint32_t record);

// Writes a label table QXLBLS.DBF (with FPT and CDX) holding kLabels labels with items into dir.
void MakeLabelTable(const QString& dir);

// The labels of the table in dir, by description; labels that cannot be read are left out.
// Empty when the table cannot be opened.
std::map<std::string, StoredLabel> ReadLabels(const QString& dir);

struct Damage {
    std::string name;
    // The record the damage is aimed at (QX.INI names it, so that start-up loads it); 0: none.
    std::uint32_t record = 0;
    // Records whose bytes the damage touches: these labels need not survive it. All when
    // `all` is set (the table cannot be read at all).
    std::set<std::uint32_t> hurt;
    bool all = false;
    // Applies the damage to the table in dir.
    std::function<void(const QString& dir)> apply;
    // Damage no reader can notice (garbage that is still text): the label shows it as it is.
    bool silent = false;
};

// Every way the checks damage a table made by MakeLabelTable (one seed for the random bytes,
// printed by the callers).
std::vector<Damage> Damages(std::uint32_t seed);

// The labels that were whole before the damage (before: ReadLabels of the undamaged table)
// and are now missing from dir or differ; empty when all are whole.
std::vector<std::string> LostLabels(const std::map<std::string, StoredLabel>& before, const QString& dir,
                                    const Damage& damage);

// Copies the table's files from one directory to another (which must exist).
void CopyTable(const QString& from, const QString& to);

} // namespace damage
