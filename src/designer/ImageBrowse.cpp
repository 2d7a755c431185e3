#include "designer/ImageBrowse.h"

#include "designer/DialogHelp.h"
#include "ui/ContextHelp.h"
#include "model/Picture.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QStorageInfo>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString& LastDirectory()
{
    static QString dir;
    return dir;
}

constexpr int PathRole = Qt::UserRole;

} // namespace

QString TImageBrowse::StartDirectory()
{
    const QString& last = LastDirectory();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return QDir::currentPath();
}

TImageBrowse::TImageBrowse(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ImageBrowse"));
    setWindowTitle(QStringLiteral("Image Browse"));

    DriveComboBox = new QComboBox(this);
    DriveComboBox->setObjectName(QStringLiteral("DriveComboBox"));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && DriveComboBox->findText(volume.rootPath()) < 0)
            DriveComboBox->addItem(volume.rootPath());
    }
    if (DriveComboBox->findText(QDir::rootPath()) < 0)
        DriveComboBox->insertItem(0, QDir::rootPath());
    DirectoryListBox = new QListWidget(this);
    DirectoryListBox->setObjectName(QStringLiteral("DirectoryListBox"));
    DirectoryListBox->setMinimumSize(200, 180);
    FileListBox = new QListWidget(this);
    FileListBox->setObjectName(QStringLiteral("FileListBox"));
    FileListBox->setMinimumSize(160, 180);
    ImageScrollbox = new QScrollArea(this);
    ImageScrollbox->setObjectName(QStringLiteral("ImageScrollbox"));
    ImageScrollbox->setFixedSize(220, 220);
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ImageScrollbox->setWidget(Image1);
    ImageScrollbox->setWidgetResizable(false);

    const sw::TDialogButtons buttonSet = sw::MakeDialogButtons(this, QStringLiteral("OK"), HelpContext);

    connect(DriveComboBox, &QComboBox::textActivated, this, [this](const QString& root) { SetDirectory(root); });
    connect(DirectoryListBox, &QListWidget::itemActivated, this, &TImageBrowse::DirectoryListBoxActivated);
    connect(FileListBox, &QListWidget::currentItemChanged, this, &TImageBrowse::FileListBoxChange);
    connect(FileListBox, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* grid = new QGridLayout;
    grid->addWidget(FileListBox, 0, 0, 2, 1);
    grid->addWidget(DirectoryListBox, 0, 1);
    grid->addWidget(DriveComboBox, 1, 1);
    grid->addWidget(ImageScrollbox, 0, 2, 2, 1);
    new TODSHelp(this, {
        {QStringLiteral("CancelButton"), {QStringLiteral("Click here to close this window without choosing a picture")}},
        {QStringLiteral("DirectoryListBox"), {QStringLiteral("The folders: double-click one to look inside it, or \"..\" to go up one level")}},
        {QStringLiteral("DriveComboBox"), {QStringLiteral("The disks and other drives of this computer: choose one to start looking from its top folder")}},
        {QStringLiteral("FileListBox"), {QStringLiteral("The picture files in the chosen folder. Click one to see it on the right; double-click it to use it")}},
        {QStringLiteral("HelpButton"), {QStringLiteral("Click here to read the help page for this window")}},
        {QStringLiteral("Image1"), {QStringLiteral("The picture in the highlighted file, at its own size")}},
        {QStringLiteral("ImageScrollbox"), {QStringLiteral("The picture in the highlighted file, at its own size; scroll to see the rest of a large one")}},
        {QStringLiteral("OkButton"), {QStringLiteral("Click here to use the highlighted picture")}},
    });

    QHBoxLayout* buttons = sw::DialogButtonRow(buttonSet);
    auto* box = new QVBoxLayout(this);
    box->addLayout(grid);
    box->addLayout(buttons);
    sw::MakeFixedDialog(this);

    SetDirectory(StartDirectory());
}

void TImageBrowse::SetDirectory(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return;
    directory_ = QDir::cleanPath(info.absoluteFilePath());
    LastDirectory() = directory_;
    for (int i = 0; i < DriveComboBox->count(); ++i) {
        const QString root = DriveComboBox->itemText(i);
        if (directory_.startsWith(root) && root.size() >= DriveComboBox->currentText().size())
            DriveComboBox->setCurrentIndex(i);
    }
    FillDirectories();
    FillFiles();
}

void TImageBrowse::FillDirectories()
{
    DirectoryListBox->clear();
    // The path from the root down to the current directory, each level indented, then the
    // current directory's sub-directories one level deeper.
    QStringList chain;
    for (QDir d(directory_);; ) {
        chain.prepend(d.absolutePath());
        if (d.isRoot() || !d.cdUp())
            break;
    }
    int depth = 0;
    for (const QString& p : chain) {
        const QString name = depth == 0 ? p : QFileInfo(p).fileName();
        auto* item = new QListWidgetItem(QString(depth * 2, u' ') + name, DirectoryListBox);
        item->setData(PathRole, p);
        ++depth;
    }
    DirectoryListBox->setCurrentRow(DirectoryListBox->count() - 1);
    const QStringList subs = QDir(directory_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& s : subs) {
        auto* item = new QListWidgetItem(QString(depth * 2, u' ') + s, DirectoryListBox);
        item->setData(PathRole, QDir(directory_).filePath(s));
    }
}

void TImageBrowse::FillFiles()
{
    FileListBox->clear();
    const QStringList files = QDir(directory_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& f : files) {
        if (sw::IsPictureFileName(f))
            FileListBox->addItem(f);
    }
    Image1->clear();
    Image1->resize(0, 0);
}

void TImageBrowse::DirectoryListBoxActivated(QListWidgetItem* item)
{
    if (item)
        SetDirectory(item->data(PathRole).toString());
}

QString TImageBrowse::FileName() const
{
    const QListWidgetItem* item = FileListBox->currentItem();
    if (!item)
        return {};
    return QDir(directory_).filePath(item->text());
}

void TImageBrowse::SelectFile(const QString& name)
{
    const auto found = FileListBox->findItems(name, Qt::MatchFixedString);
    if (!found.isEmpty())
        FileListBox->setCurrentItem(found.first());
}

void TImageBrowse::FileListBoxChange()
{
    const QString path = FileName();
    Image1->clear();
    Image1->resize(0, 0);
    if (!path.isEmpty() && sw::IsPictureFileName(path)) {
        // A file that cannot be read previews as nothing.
        const sw::Picture picture = sw::Picture::Load(path);
        if (!picture.isNull()) {
            const QSize size = picture.naturalSize(logicalDpiX());
            if (!size.isEmpty() && size.width() <= 8192 && size.height() <= 8192) {
                QPixmap pixmap(size);
                pixmap.fill(Qt::white);
                QPainter p(&pixmap);
                picture.Draw(p, QRectF(QPointF(0, 0), QSizeF(size)));
                p.end();
                Image1->setPixmap(pixmap);
                Image1->resize(size);
            }
        }
    }
    ImageScrollbox->viewport()->update();
}
