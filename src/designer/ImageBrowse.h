#pragma once
// The image browser: a drive box, a directory list, the list of the directory's pictures
// (BMP, WMF, PNG, JPEG and SVG files, any case) and a preview of the selected one at its own size.
// The directory last chosen is where the next browse starts.
#include "model/Picture.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QScrollArea;

class TImageBrowse : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 1047;

    explicit TImageBrowse(QWidget* parent = nullptr);

    QString Directory() const { return directory_; }
    void SetDirectory(const QString& path);
    // The selected file as a full path; empty when none is selected.
    QString FileName() const;
    void SelectFile(const QString& name);

    // Where a new browser starts: the directory chosen last, at first the working directory.
    static QString StartDirectory();

    QComboBox* DriveComboBox;
    QListWidget* DirectoryListBox;
    QListWidget* FileListBox;
    QScrollArea* ImageScrollbox;
    QLabel* Image1;

private:
    void FillDirectories();
    void FillFiles();
    void DirectoryListBoxActivated(QListWidgetItem* item);
    void FileListBoxChange();

    QString directory_;
};
