#pragma once
// A scroll area whose whole background is covered by a tiled picture.
#include <QPixmap>
#include <QScrollArea>

class TTiledScrollArea : public QScrollArea {
    Q_OBJECT
public:
    explicit TTiledScrollArea(QWidget* parent = nullptr);
    void SetTile(const QPixmap& tile);

    // The grey tile the design surface uses.
    static QPixmap DefaultTile();

private:
    QPixmap tile_;
};
