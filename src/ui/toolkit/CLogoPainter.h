#pragma once

#include <QImage>
#include <QWidget>

/// Shows the program's banner across its whole width at any size: the picture scaled to the
/// widget's height with its proportions kept (400 : 81), and the space to its right filled
/// by stretching the picture's first column, which is one plain colour.
class CLogoPainter : public QWidget
{
    Q_OBJECT

public:
    /// Shows the compiled-in banner.
    explicit CLogoPainter(QWidget* parent = nullptr);

    /// Shows `banner` instead (tests, previews).
    void SetImage(const QImage& banner);
    const QImage& Image() const
    {
        return m_banner;
    }

    /// The width of the picture at height `height`.
    static int PictureWidth(int height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_banner;
};
