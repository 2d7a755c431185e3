// A damaged label table never locks the user out: the program starts on it, says what it
// cannot read, shows the rest, and every label that was whole stays whole and loadable;
// Delete and Rebuild Indexes work on the damaged labels.
#include "support/Fakes.h"
#include "LabelDamage.h"
#include "library/LabelLibrary.h"
#include "library/Preferences.h"
#include "xbase/Table.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <set>

namespace {

struct Program {
    FakeServices services;
    FakeScreen screen{services};
    FakeDialogs dialogs;
    TLabelLibrary lib;
    explicit Program(const QString& dir) : lib(services, screen, dir, &dialogs) {}
    TLabelStore& store() { return lib.Store(); }

    // Goes to the visible label with this description; false when there is none.
    bool Find(const std::string& description)
    {
        sw::xbase::Table& t = *store().Table();
        try {
            for (t.goTop(); !t.eof(); t.skip(1))
                if (t.getString("DESCRIPT") == description)
                    return true;
        } catch (const std::exception&) {
        }
        return false;
    }
    // Goes to the first visible label that is not one of the whole ones.
    bool FindDamaged(const std::set<std::uint32_t>& hurt)
    {
        std::set<std::string> whole;
        for (std::uint32_t n = 1; n <= damage::kLabels; ++n)
            if (!hurt.count(n))
                whole.insert(damage::Description(n));
        sw::xbase::Table& t = *store().Table();
        try {
            for (t.goTop(); !t.eof(); t.skip(1)) {
                std::string description;
                try {
                    description = t.getString("DESCRIPT");
                } catch (const std::exception&) {
                }
                if (!whole.count(description))
                    return true;
            }
        } catch (const std::exception&) {
        }
        return false;
    }
};

std::uint32_t Seed()
{
    const std::uint32_t seed = std::random_device{}();
    std::cout << "damage seed " << seed << " (replay: STICKWELL_SEED=" << seed << ")\n";
    return seed;
}

} // namespace

TEST(LabelDamage, EveryDamagedTableStartsAndKeepsTheOtherLabels)
{
    const QByteArray replay = qgetenv("STICKWELL_SEED");
    const std::uint32_t seed = replay.isEmpty() ? Seed() : replay.toUInt();
    QTemporaryDir goodTmp;
    const QString good = goodTmp.path() + u'/';
    damage::MakeLabelTable(good);
    const auto before = damage::ReadLabels(good);
    ASSERT_EQ(before.size(), std::size_t(damage::kLabels));

    int tried = 0, started = 0;
    for (const damage::Damage& d : damage::Damages(seed)) {
        SCOPED_TRACE(d.name);
        ++tried;
        QTemporaryDir tmp;
        const QString dir = NewDataDirectory(tmp);
        damage::CopyTable(good, dir);
        d.apply(dir);
        if (d.record)
            sw::library::WriteLastUse(dir + "QX.INI", std::int32_t(d.record));

        {
            Program run(dir);
            ASSERT_TRUE(run.lib.FormActivate());
            ++started;
            const TWindowState& st = run.services.state;
            EXPECT_FALSE(st.FirstActivation);
            EXPECT_FALSE(st.LoadingLabel);
            EXPECT_FALSE(st.InhibitReload);
            if (!d.hurt.empty() && !d.silent)
                EXPECT_FALSE(run.services.messages.isEmpty());

            // Every whole label loads without a word.
            for (std::uint32_t n = 1; n <= damage::kLabels; ++n) {
                if (d.hurt.count(n))
                    continue;
                const std::string description = damage::Description(n);
                ASSERT_TRUE(run.Find(description)) << description;
                run.services.messages.clear();
                EXPECT_TRUE(run.store().LoadFromLabelFile()) << description;
                EXPECT_TRUE(run.services.messages.isEmpty()) << run.services.messages.join(" / ").toStdString();
                EXPECT_EQ(run.screen.descript.toStdString(), description);
                EXPECT_EQ(run.screen.items.toStdString(), before.at(description).at("OBJECTS"));
                EXPECT_FALSE(st.LoadingLabel);
            }

            // The damaged labels that still show can be deleted; Rebuild Indexes then packs
            // them away and says it is complete.
            for (int guard = 0; guard < damage::kLabels && run.FindDamaged(d.hurt); ++guard) {
                run.store().LoadFromLabelFile();
                run.services.messages.clear();
                run.lib.Commands().mnuDeleteLabelClick();
                EXPECT_TRUE(run.services.messages.filter("Unable").isEmpty())
                    << run.services.messages.join(" / ").toStdString();
            }
            run.services.messages.clear();
            run.store().mnuRebuildIndexesClick();
            EXPECT_EQ(run.services.messages.value(run.services.messages.size() - 1), QStringLiteral("Complete!"))
                << run.services.messages.join(" / ").toStdString();
            EXPECT_TRUE(run.store().Table()->check().ok());
            EXPECT_FALSE(st.InhibitReload);

            // Save is alive: a new label goes in.
            run.dialogs.templateName = QStringLiteral("Avery 5160/8160 Address 1\" x 2-5/8\", 30 per sheet");
            run.lib.Commands().NewLabel();
            run.screen.Type(QStringLiteral("Made after the damage"));
            run.lib.Commands().SaveButtonClick();
            EXPECT_FALSE(st.IsNewLabel) << run.services.messages.join(" / ").toStdString();
        }

        // Every label that was whole before is whole after, field by field and memo.
        EXPECT_TRUE(damage::ReadLabels(dir).count("Made after the damage"));
        const auto lost = damage::LostLabels(before, dir, d);
        EXPECT_TRUE(lost.empty()) << lost.front();
    }
    std::cout << "damaged tables tried: " << tried << ", started: " << started << "\n";
    EXPECT_EQ(started, tried);
}
