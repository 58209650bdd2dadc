#include "ui/pictures.h"

#include <QPixmap>

QImage ButtonPictureImage(ButtonPicture)
{
    QImage image(32, 16, QImage::Format_ARGB32);
    image.fill(Qt::gray);
    return image;
}

QIcon ButtonPictureIcon(ButtonPicture which)
{
    const QImage image = ButtonPictureImage(which);
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image.copy(0, 0, 16, 16)), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(image.copy(16, 0, 16, 16)), QIcon::Disabled);
    return icon;
}

QImage ProgramIconImage()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::lightGray);
    return image;
}
