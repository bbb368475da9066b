#include "platform/gui/ResourceImages.h"

#include "resources/ResourceIds.h"

#include <QFile>

QIcon ResourceIcon(int id)
{
    if (id != kIdiMainIcon)
        return {};
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 96, 128, 256, 512}) {
        const QString path = QStringLiteral(":/icons/velumina-%1.png").arg(size);
        if (QFile::exists(path))
            icon.addFile(path, QSize(size, size));
    }
    return icon;
}

QImage ResourceBitmap(int id)
{
    if (id != kIdbBanner)
        return {};
    QImage image(QStringLiteral(":/banner.png"));
    if (image.isNull())
        return image;
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
