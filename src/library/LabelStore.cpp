#include "library/LabelStore.h"
#include "library/LabelScreen.h"
#include "library/TableLayouts.h"
#include "library/TemplateCatalogue.h"

#include "model/ItemText.h"
#include "model/Units.h"
#include "ui/WindowServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

using XTable = sw::xbase::Table;

namespace {

std::string Std(const QString& s)
{
    return s.toStdString();
}

// RAII for the wait cursor of a long command.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

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
    using namespace sw::library;
    if (!QFileInfo::exists(LabelTablePath()) && !CreateLabelFile()) {
        services_.ShowMessage(QStringLiteral("Unable to create QXLBLS.DBF"));
        return false;
    }
    TWindowState& st = services_.State();
    st.InhibitReload = true;
    try {
        auto table = std::make_unique<XTable>(Std(LabelTablePath()), sw::xbase::OpenMode::Exclusive);
        table->setDeleted(true);
        // A missing index is rebuilt silently; so is an index that lost its tag.
        if (table->indexName().empty() || table->tagArea(kDescriptTag) == 0)
            table->indexTag(kDescriptTag, kDescriptKey);
        table->setOrder(table->tagArea(kDescriptTag));
        table->goTop();
        table_ = std::move(table);
    } catch (const std::exception&) {
        table_.reset();
        st.InhibitReload = false;
        services_.ShowInformation(QStringLiteral("We were unable to open the label file: QXLBLS.DBF"));
        return false;
    }
    st.InhibitReload = false;
    return true;
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
    if (!table_)
        return;
    table_->goTop();
    LabelDataSourceDataChange();
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
    screen_.SetLabelPanelSize(services_.InchesToPixels(current_.LblWidth),
                              services_.InchesToPixels(current_.LblHeight));
    TLabelShapeType shape;
    if (ShapeForCode(current_.LblShape, &shape))
        screen_.SetLabelShape(shape);
}

void TLabelStore::LoadFromLabelFile()
{
    using namespace sw::library;
    TWindowState& st = services_.State();
    st.LoadingLabel = true;
    // The screen repaints before the work.
    QCoreApplication::processEvents();
    TCurrentLabel label;
    QString objects;
    if (HasCurrentRecord()) {
        const XTable& t = *table_;
        TTemplateValues geometry;
        geometry.Description = FieldText(t, "TEMPLATE");
        ReadGeometry(t, geometry);
        CopyTemplateInto(geometry, label);
        label.Description = CutTo(FieldText(t, "DESCRIPT"), kDescriptionCapacity);
        objects = sw::ItemTextFromMemo(QByteArray::fromStdString(t.getRaw("OBJECTS")));
    }
    current_ = label;
    screen_.SetDescriptText(current_.Description);
    ShowGeometry();
    screen_.RestoreItems(objects);
    st.LoadingLabel = false;
}

void TLabelStore::SaveToLabelFile()
{
    using namespace sw::library;
    if (!table_)
        return;
    TWindowState& st = services_.State();
    XTable& t = *table_;
    editing_ = true;
    try {
        if (st.IsNewLabel)
            t.appendBlank();
        else if (t.eof())
            throw sw::xbase::Error(sw::xbase::Error::Kind::Usage, t.path(), "no current record to save");
        const QByteArray memo = sw::ItemTextToMemo(screen_.SaveItems());
        t.putRaw("OBJECTS", std::string_view(memo.constData(), size_t(memo.size())));
        t.putString("DESCRIPT", Std(TrimRight(CutTo(current_.Description, kDescriptWidth))));
        t.putString("TEMPLATE", Std(TrimRight(CutTo(current_.Template, kTemplateWidth))));
        // SHEETWIDTH and SHEETDEPTH stay blank.
        WriteGeometry(t, GeometryOf(current_));
        t.putRecord();
    } catch (...) {
        t.cancel();
        editing_ = false;
        throw;
    }
    editing_ = false;
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
    using namespace sw::library;
    if (!table_)
        return;
    TWindowState& st = services_.State();
    notifications_ = false;
    st.InhibitReload = true;
    XTable& t = *table_;
    QString failure;
    {
        WaitCursor wait;
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
        RebuildTemplateTable();
    }
    if (!failure.isEmpty())
        services_.ShowInformation(QStringLiteral("We were unable to rebuild the label file: %1").arg(failure));
    services_.ShowInformation(QStringLiteral("Complete!"));
    st.InhibitReload = false;
    notifications_ = true;
    LabelDataSourceDataChange();
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
