#include "screens/plants/PlantPhotoTile.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/QNChromeButton.h"
#include "records/OVFormat.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <cmath>

QSize PlantPhotoTile::frameSize()
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    return QSize(KitMetrics::px(120), KitMetrics::px(90)) * ratio;
}

PlantPhotoTile::PlantPhotoTile(const Photo& photo, QWidget* parent)
    : PlantPhotoTile(photo, thumbnail(photo.data, frameSize()), parent)
{
}

PlantPhotoTile::PlantPhotoTile(const Photo& photo, const QImage& image, QWidget* parent)
    : PlantPhotoTile(parent, photo)
{
    setPicture(image);
}

PlantPhotoTile* PlantPhotoTile::waiting(const Photo& photo, QWidget* parent)
{
    return new PlantPhotoTile(parent, photo);
}

PlantPhotoTile::PlantPhotoTile(QWidget* parent, const Photo& photo) : QWidget(parent), m_photoID(photo.id)
{
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(KitMetrics::px(4));

    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("photoPicture"));
    m_picture->setFixedSize(KitMetrics::px(120), KitMetrics::px(90));
    col->addWidget(m_picture, 0, Qt::AlignHCenter);

    auto* day = new OVLabel(OVFormat::day(photo.added), 10, QFont::Normal, OVColors().dim());
    day->setAlignment(Qt::AlignHCenter);
    col->addWidget(day, 0, Qt::AlignHCenter);
    m_remove = new QNChromeButton(QStringLiteral("Remove"), false, true);
    col->addWidget(m_remove, 0, Qt::AlignHCenter);
    connect(m_remove, &QPushButton::clicked, this, [this] { emit removeRequested(m_photoID); });
}

void PlantPhotoTile::setPicture(const QImage& image)
{
    m_hasPicture = !image.isNull();
    m_picture->setVisible(m_hasPicture);
    if (!m_hasPicture) {
        m_picture->clear();
        return;
    }
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap rounded(image.size());
    rounded.fill(Qt::transparent);
    {
        QPainter painter(&rounded);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath clip;
        const qreal radius = KitMetrics::pxF(10) * ratio;
        clip.addRoundedRect(QRectF(rounded.rect()), radius, radius);
        painter.setClipPath(clip);
        painter.drawImage(0, 0, image);
    }
    rounded.setDevicePixelRatio(ratio);
    m_picture->setPixmap(rounded);
}

QImage PlantPhotoTile::thumbnail(const QByteArray& data, QSize size)
{
    if (data.isEmpty() || size.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    QSize source = reader.size();
    if (!source.isValid()) {
        const QImage whole = reader.read();
        if (whole.isNull())
            return {};
        return whole.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation)
            .copy(QRect(QPoint(0, 0), size));
    }
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        source.transpose();
    // Scale so the picture covers the frame, then keep its middle.
    const double factor = std::max(double(size.width()) / source.width(), double(size.height()) / source.height());
    const QSize scaled(std::max(size.width(), int(std::ceil(source.width() * factor))),
                       std::max(size.height(), int(std::ceil(source.height() * factor))));
    QImage image;
    if (!(reader.transformation() & QImageIOHandler::TransformationRotate90)) {
        reader.setScaledSize(scaled);
        reader.setScaledClipRect(QRect(QPoint((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2),
                                       size));
        image = reader.read();
    } else {
        image = reader.read();
        if (!image.isNull())
            image = image.scaled(scaled, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                        .copy(QRect(QPoint((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2),
                                    size));
    }
    return image;
}
