#pragma once
// One photo in the plant editor's strip: the picture cropped to fill 120 × 90 points
// with rounded corners (left out when the bytes are no readable picture), the day it
// was added, and a Remove button. The picture is decoded at the tile's size straight
// from the stored JPEG; thumbnail() is safe to run on worker threads, so the strip
// shows waiting tiles at once and hands each its picture as a worker decodes it.

#include "records/Photo.h"

#include <QImage>
#include <QWidget>

class QNChromeButton;

class PlantPhotoTile : public QWidget {
    Q_OBJECT
public:
    explicit PlantPhotoTile(const Photo& photo, QWidget* parent = nullptr);
    // With the picture already decoded by thumbnail() at frameSize() (a null image
    // for bytes that are no picture).
    PlantPhotoTile(const Photo& photo, const QImage& picture, QWidget* parent = nullptr);
    // Still without its picture: the frame's room is kept until setPicture().
    static PlantPhotoTile* waiting(const Photo& photo, QWidget* parent = nullptr);

    // The picture decoded by thumbnail(); a null image (no picture) gives up its room.
    void setPicture(const QImage& picture);

    // The picture's frame in device pixels: 120 × 90 points.
    static QSize frameSize();

    qint64 photoID() const { return m_photoID; }
    bool hasPicture() const { return m_hasPicture; }
    QNChromeButton* removeButton() const { return m_remove; }

    // The bytes decoded to exactly `size` pixels, scaled to fill it and cut to it;
    // a null image for bytes that are no picture.
    static QImage thumbnail(const QByteArray& data, QSize size);

signals:
    void removeRequested(qint64 photoID);

private:
    PlantPhotoTile(QWidget* parent, const Photo& photo);

    qint64 m_photoID;
    bool m_hasPicture = false;
    class QLabel* m_picture = nullptr;
    QNChromeButton* m_remove = nullptr;
};
