#include "ui/pick/screen_frame.h"

#include <cmath>

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

std::optional<PickFrame> GrabScreenFrame()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return std::nullopt;
    QList<QImage> images;
    QList<QPoint> places;
    QRect whole;
    for (QScreen* screen : screens) {
        // The grab is of device pixels; a screen's position is in device pixels too, and only its
        // size is in scaled units.
        QImage image = screen->grabWindow(0).toImage();
        if (image.isNull())
            return std::nullopt;
        image.setDevicePixelRatio(1);
        const QPoint place = screen->geometry().topLeft();
        whole |= QRect(place, image.size());
        images.append(image);
        places.append(place);
    }
    PickFrame frame;
    frame.geometry = whole;
    if (screens.size() == 1 && places.front() == whole.topLeft()) {
        frame.image = images.front().convertToFormat(QImage::Format_RGB32);
        return frame;
    }
    frame.image = QImage(whole.size(), QImage::Format_RGB32);
    frame.image.fill(Qt::black);
    QPainter painter(&frame.image);
    for (qsizetype i = 0; i < images.size(); ++i)
        painter.drawImage(places[i] - whole.topLeft(), images[i]);
    return frame;
}
