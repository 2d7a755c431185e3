#pragma once
// An image item: a picture from a .BMP, .WMF, .PNG, .JPG/.JPEG or .SVG file, scaled to the box when
// Stretch is on, else drawn at its own size (and the box takes that size).
#include "model/LabelItem.h"
#include "model/Picture.h"

class TImageItem : public TLabelItem {
public:
    TImageItem();

    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool AutoSize() const { return !stretch_; }
    // The full path of the picture file (kept in the component's hint text).
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& path) { hint_ = path; }
    const sw::Picture& Picture() const { return picture_; }
    // Takes a picture; with AutoSize on, the box becomes the picture's own size.
    void SetPicture(const sw::Picture& picture);
    // Loads the picture from Hint(); a damaged file leaves an empty picture (nothing drawn).
    bool LoadPicture(QString* error = nullptr);

protected:
    void DoPaint(QPainter& painter) override;

private:
    bool stretch_ = false;
    QString hint_;
    sw::Picture picture_;
};
