#include "ui/toolkit/CLogoPainter.h"

#include "platform/gui/ResourceImages.h"
#include "resources/ResourceIds.h"
#include "ui/toolkit/ColorTheme.h"

#include <QPainter>

CLogoPainter::CLogoPainter(QWidget* parent) : QWidget(parent), m_banner(ResourceBitmap(kIdbBanner))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CLogoPainter::SetImage(const QImage& banner)
{
    m_banner = banner;
    update();
}

int CLogoPainter::PictureWidth(int height)
{
    // The picture's width for this height at 400 : 81, in single precision.
    return static_cast<int>(static_cast<float>(height) * 0.012345679f * 400.0f);
}

void CLogoPainter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int width = this->width();
    const int height = this->height();
    if (m_banner.isNull()) {
        painter.fillRect(rect(), SelectedTheme().Color(11));
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int pictureWidth = PictureWidth(height);
    const QRectF whole(0, 0, m_banner.width(), m_banner.height());
    painter.drawImage(QRect(0, 0, pictureWidth, height), m_banner, whole);
    if (width > pictureWidth) {
        // The first column alone, stretched; smoothing would blend in the second column.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(QRect(pictureWidth, 0, width - pictureWidth, height), m_banner,
                          QRectF(0, 0, 1, m_banner.height()));
    }
}
