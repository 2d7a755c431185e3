#include "library/LabelStore.h"
#include "library/LabelScreen.h"
#include "library/TableLayouts.h"
#include "library/TemplateCatalogue.h"

#include "model/ItemText.h"
#include "model/Units.h"
#include "ui/BusyCursor.h"
#include "ui/WindowServices.h"

#include <QCoreApplication>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QStringList>

using XTable = sw::xbase::Table;

namespace {

std::string Std(const QString& s)
{
    return s.toStdString();
}

} // namespace

bool ShapeForCode(const QString& code, TLabelShapeType* shape)
{
    if (code == QLatin1String("SR"))
        *shape = lsRectangle;
    else if (code == QLatin1String("RR"))
        *shape = lsRoundRect;
    else if (code == QLatin1String("RE"))
        *shape = lsEllipse;
    else
        return false;
    return true;
}

TLabelStore::TLabelStore(TWindowServices& services, TLabelScreen& screen, const QString& dataDir)
    : services_(services), screen_(screen),
      dataDir_(dataDir.isEmpty() || dataDir.endsWith(u'/') ? dataDir : dataDir + u'/')
{
}

TLabelStore::~TLabelStore() = default;

QString TLabelStore::LabelTablePath() const
{
    return dataDir_ + QString::fromLatin1(sw::library::kLabelTableName);
}

bool TLabelStore::CreateLabelFile()
{
    try {
        XTable::create(Std(LabelTablePath()), sw::library::LabelTableFields());
    } catch (const std::exception&) {
        return false;
    }
    return QFileInfo::exists(LabelTablePath());
}

bool TLabelStore::OpenLabelFile()
{
    if (!QFileInfo::exists(LabelTablePath()) && !CreateLabelFile()) {
        services_.ShowMessage(QStringLiteral("Unable to create QXLBLS.DBF"));
        return false;
    }
    TFlagScope inhibit(services_.State().InhibitReload, true);
    QStringList notes;
    // A damaged index is made again, a table that cannot be read at all is set aside for a new
    // one: each at most once, and only for damage (another program holding the table, or a
    // refused open, ends the start as before).
    bool indexDropped = false, tableSetAside = false;
    while (!table_) {
        try {
            table_ = OpenTable(notes);
        } catch (const sw::xbase::Error& e) {
            if (e.kind() != sw::xbase::Error::Kind::Damaged)
                break;
            const QString file = QString::fromStdString(e.file());
            if (!indexDropped && file.endsWith(QLatin1String(".CDX"), Qt::CaseInsensitive)) {
                indexDropped = true;
                QFile::remove(file);
                notes << QStringLiteral("The index QXLBLS.CDX could not be read (%1); it was made again.")
                             .arg(QString::fromStdString(e.what()));
            } else if (!tableSetAside && !indexDropped) {
                tableSetAside = true;
                const QString kept = SetAsideDamagedTable();
                if (kept.isEmpty() || !CreateLabelFile())
                    break;
                notes << QStringLiteral("The label file QXLBLS.DBF could not be read (%1). It was kept as %2 "
                                        "and a new, empty label file was started.")
                             .arg(QString::fromStdString(e.what()), kept);
            } else {
                break;
            }
        } catch (const std::exception&) {
            break;
        }
    }
    if (!table_) {
        services_.ShowInformation(QStringLiteral("We were unable to open the label file: QXLBLS.DBF"));
        return false;
    }
    if (!notes.isEmpty())
        services_.ShowInformation(notes.join(QStringLiteral("\n\n")));
    return true;
}

std::unique_ptr<XTable> TLabelStore::OpenTable(QStringList& notes)
{
    using namespace sw::library;
    auto table = std::make_unique<XTable>(Std(LabelTablePath()), sw::xbase::OpenMode::Exclusive);
    table->setDeleted(true);
    // A missing index is rebuilt silently; so is an index that lost its tag.
    if (table->indexName().empty() || table->tagArea(kDescriptTag) == 0)
        table->indexTag(kDescriptTag, kDescriptKey);
    // One look over the whole table: an index that does not match it is made again, and damaged
    // labels are named now, before the user meets them one by one.
    const sw::xbase::CheckResult check = table->check();
    QStringList damaged;
    bool indexBad = false;
    for (const std::string& problem : check.problems) {
        if (problem.rfind("tag ", 0) == 0)
            indexBad = true;
        else
            damaged << QString::fromStdString(problem);
    }
    if (indexBad) {
        table->reindex();
        notes << QStringLiteral("The index QXLBLS.CDX did not match the label file; it was made again.");
    }
    if (!damaged.isEmpty())
        notes << QStringLiteral("Some labels in QXLBLS.DBF are damaged:\n%1\nThe other labels can be used as "
                                "before; a damaged label can still be deleted.")
                     .arg(damaged.mid(0, 8).join(u'\n'));
    table->setOrder(table->tagArea(kDescriptTag));
    table->goTop();
    return table;
}

QString TLabelStore::SetAsideDamagedTable()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = dataDir_ + QStringLiteral("QXLBLS-damaged-") + stamp;
    for (const char* ext : {".FPT", ".CDX"}) {
        const QString from = dataDir_ + QStringLiteral("QXLBLS") + QLatin1String(ext);
        if (QFileInfo::exists(from) && !QFile::rename(from, base + QLatin1String(ext)))
            return {};
    }
    if (!QFile::rename(LabelTablePath(), base + QStringLiteral(".DBF")))
        return {};
    return QFileInfo(base + QStringLiteral(".DBF")).fileName();
}

bool TLabelStore::HasCurrentRecord() const
{
    return table_ && !table_->eof();
}

std::uint32_t TLabelStore::RecNo() const
{
    return table_ ? table_->recNo() : 1;
}

bool TLabelStore::GoToRecord(std::uint32_t recno)
{
    if (!table_ || recno == 0)
        return false;
    const std::uint32_t before = table_->recNo();
    try {
        if (recno <= table_->recCount()) {
            table_->go(recno);
            if (!table_->eof() && !table_->deleted())
                return true;
        }
    } catch (const std::exception&) {
    }
    try {
        if (before <= table_->recCount()) {
            table_->go(before);
        } else {
            table_->goBottom();
            table_->skip(1);
        }
    } catch (const std::exception&) {
    }
    return false;
}

void TLabelStore::GoTop()
{
    if (!GoFirst())
        return;
    LabelDataSourceDataChange();
}

bool TLabelStore::GoFirst()
{
    if (!table_)
        return false;
    try {
        table_->goTop();
        return true;
    } catch (const std::exception& e) {
        services_.ShowInformation(QStringLiteral("Unable to read the label file: %1").arg(QString::fromStdString(e.what())));
        return false;
    }
}

void TLabelStore::DeleteCurrent()
{
    if (!HasCurrentRecord())
        return;
    table_->deleteRecord();
    GoTop();
}

void TLabelStore::LabelDataSourceDataChange()
{
    const TWindowState& st = services_.State();
    if (!notifications_ || st.InhibitReload || st.StartingUp || editing_)
        return;
    LoadFromLabelFile();
}

void TLabelStore::ShowGeometry()
{
    screen_.SetLabelPanelSize(sw::InchesToPixels(current_.LblWidth, services_.PixelsPerInch()),
                              sw::InchesToPixels(current_.LblHeight, services_.PixelsPerInch()));
    TLabelShapeType shape;
    if (ShapeForCode(current_.LblShape, &shape))
        screen_.SetLabelShape(shape);
}

bool TLabelStore::LoadFromLabelFile()
{
    using namespace sw::library;
    TFlagScope loading(services_.State().LoadingLabel, true);
    // The screen repaints before the work.
    QCoreApplication::processEvents();
    TCurrentLabel label;
    QString objects;
    QString failure;
    if (HasCurrentRecord()) {
        const XTable& t = *table_;
        // Each part is read on its own: what can be read of a damaged label is shown.
        const auto attempt = [&failure](const auto& read) {
            try {
                read();
            } catch (const std::exception& e) {
                if (failure.isEmpty())
                    failure = QString::fromStdString(e.what());
            }
        };
        attempt([&] { label.Description = CutTo(FieldText(t, "DESCRIPT"), kDescriptionCapacity); });
        attempt([&] {
            TTemplateValues geometry;
            geometry.Description = FieldText(t, "TEMPLATE");
            ReadGeometry(t, geometry);
            CopyTemplateInto(geometry, label);
        });
        attempt([&] {
            objects = sw::ItemTextFromMemo(QByteArray::fromStdString(t.getRaw("OBJECTS")));
            // The merge source heads the item text; the panel gets the items alone.
            const QStringList lines = sw::SplitItemText(objects);
            label.MergeSource = sw::ReadMergeSource(lines);
            if (label.MergeSource.IsSet())
                objects = sw::JoinItemText(sw::WithoutMergeSource(lines));
        });
    }
    current_ = label;
    screen_.SetDescriptText(current_.Description);
    ShowGeometry();
    screen_.RestoreItems(objects);
    if (failure.isEmpty())
        return true;
    const QString which = label.Description.trimmed().isEmpty()
                              ? QStringLiteral("record %1").arg(RecNo())
                              : QStringLiteral("\"%1\"").arg(label.Description.trimmed());
    services_.ShowInformation(QStringLiteral("The label %1 could not be read whole: %2\nWhat could be read is "
                                             "shown.")
                                  .arg(which, failure));
    return false;
}

void TLabelStore::SaveToLabelFile()
{
    using namespace sw::library;
    if (!table_)
        return;
    TWindowState& st = services_.State();
    XTable& t = *table_;
    {
        TFlagScope editing(editing_, true);
        try {
            if (st.IsNewLabel)
                t.appendBlank();
            else if (t.eof())
                throw sw::xbase::Error(sw::xbase::Error::Kind::Usage, t.path(), "no current record to save");
            const QByteArray memo = sw::ItemTextToMemo(
                sw::JoinItemText(sw::MergeSourceLines(current_.MergeSource)) + screen_.SaveItems());
            t.putRaw("OBJECTS", std::string_view(memo.constData(), size_t(memo.size())));
            t.putString("DESCRIPT", Std(TrimRight(CutTo(current_.Description, kDescriptWidth))));
            t.putString("TEMPLATE", Std(TrimRight(CutTo(current_.Template, kTemplateWidth))));
            // SHEETWIDTH and SHEETDEPTH stay blank.
            WriteGeometry(t, GeometryOf(current_));
            t.putRecord();
        } catch (...) {
            t.cancel();
            throw;
        }
    }
    // The post notifies in browse state: the panel follows the table.
    LabelDataSourceDataChange();
}

bool TLabelStore::DescriptionTaken(const QString& description, std::uint32_t self)
{
    using namespace sw::library;
    if (!table_)
        return false;
    // Compared as it will be stored, so that two names the table cannot tell apart never both
    // get in.
    const QString wanted = UpperAZ(TrimRight(CutTo(description, kDescriptWidth)));
    XTable& t = *table_;
    const std::uint32_t before = t.eof() ? 0 : t.recNo();
    // Keys that start with the wanted text sit together in the DESCRIPT order: the walk starts
    // where they begin and ends after them. Without a usable tag it walks the whole table.
    bool fullWalk = wanted.isEmpty();
    try {
        if (!fullWalk)
            t.seek(Std(wanted));
    } catch (const std::exception&) {
        fullWalk = true;
    }
    if (fullWalk)
        t.goTop();
    bool taken = false;
    for (; !t.eof(); t.skip(1)) {
        const QString key = UpperAZ(FieldText(t, "DESCRIPT"));
        if (!fullWalk && !key.startsWith(wanted))
            break;
        // A label never clashes with its own record.
        if (key == wanted && (self == 0 || t.recNo() != self)) {
            taken = true;
            break;
        }
    }
    // Back where the walk began, also for a new label: a later Cancel reloads that record.
    if (before != 0)
        GoToRecord(before);
    return taken;
}

void TLabelStore::mnuRebuildIndexesClick()
{
    if (!table_)
        return;
    {
        TFlagScope quiet(notifications_, false);
        TFlagScope inhibit(services_.State().InhibitReload, true);
        QString failure;
        {
            const sw::TBusyCursor busy;
            failure = RebuildLabelTable();
            RebuildTemplateTable();
        }
        // After its own failure message the rebuild is not complete; a template table that
        // cannot be opened leaves the label table's rebuild standing.
        if (!failure.isEmpty())
            services_.ShowInformation(QStringLiteral("We were unable to rebuild the label file: %1").arg(failure));
        else
            services_.ShowInformation(QStringLiteral("Complete!"));
    }
    LabelDataSourceDataChange();
}

QString TLabelStore::RebuildLabelTable()
{
    using namespace sw::library;
    XTable& t = *table_;
    QString failure;
    std::uint32_t remembered = t.eof() ? 0 : t.recNo();
    try {
        // Packing renumbers the records: find where the remembered one will be.
        if (remembered > 0) {
            t.setDeleted(false);
            t.setOrder(0);
            std::uint32_t deletedBefore = 0;
            for (t.goTop(); !t.eof() && t.recNo() < remembered; t.skip(1))
                if (t.deleted())
                    ++deletedBefore;
            remembered -= deletedBefore;
            t.setDeleted(true);
        }
        const std::string index = t.indexName();
        if (!index.empty()) {
            t.closeIndexes();
            QFile::remove(QString::fromStdString(index));
        }
        t.pack();
        t.setOrder(t.indexTag(kDescriptTag, kDescriptKey));
    } catch (const std::exception& e) {
        failure = QString::fromStdString(e.what());
        // Whatever happened, the table goes on in description order.
        try {
            t.setDeleted(true);
            if (t.tagArea(kDescriptTag) == 0)
                t.indexTag(kDescriptTag, kDescriptKey);
            t.setOrder(t.tagArea(kDescriptTag));
        } catch (const std::exception&) {
        }
    }
    if (remembered > 0)
        GoToRecord(remembered);
    return failure;
}

void TLabelStore::RebuildTemplateTable()
{
    using namespace sw::library;
    try {
        XTable tpl(Std(TemplateTablePath(dataDir_)), sw::xbase::OpenMode::Exclusive);
        tpl.pack();
        tpl.indexTag(kTemplateTag, kTemplateKey);
        tpl.close();
    } catch (const std::exception&) {
        services_.ShowInformation(QStringLiteral("We were unable to open the label template file: QXLTPL.DBF"));
    }
}
