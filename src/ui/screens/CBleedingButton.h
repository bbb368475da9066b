#pragma once

#include "platform/gui/WheelNotches.h"

#include <QAbstractButton>
#include <QImage>
#include <QPointer>

class QLabel;

/// The day editor's bleeding control: a bar of three drops whose bright share grows with the
/// level (None, Slight, Medium, Heavy). A click on drop k chooses level k and a click on the
/// drop of the level shown chooses None; the wheel steps one level up or down. Space (and
/// any other press of the button without the mouse) is a command to the dialog, which steps
/// the level round. Drawn from the drop images of the image cache, the white set on light
/// themes; a level the day is expected to have shows as faint drops, explained in the tooltip.
class CBleedingButton : public QAbstractButton
{
    Q_OBJECT

public:
    /// The drop images are this wide; the split columns below are measured in it.
    static constexpr int kSourceWidth = 166;

    explicit CBleedingButton(QWidget* parent = nullptr);
    ~CBleedingButton() override;

    int Level() const
    {
        return m_level;
    }
    /// Shows `level` (0 to 3; anything else shows None).
    void SetLevel(int level);

    /// A level the day is expected to have but that is not recorded (0 for none): drawn as
    /// faint drops beyond the recorded level, never stored.
    int HintLevel() const
    {
        return m_hintLevel;
    }
    void SetHintLevel(int level);

    /// A label that shows the level's name beside the drops; it follows every change.
    void SetNameLabel(QLabel* label);

    /// The drop (1 to 3) under x in a bar `width` pixels wide: each drop owns the columns
    /// between two split columns.
    static int DropAt(int x, int width);

    /// The source column where the bright drops end for `level`: 0, 64, 104 or 166.
    static int SplitColumn(int level);

    /// Paints the bar of `level` into `rect`, 2 pixels lower and shorter when `pressed`,
    /// from the bright and dull images of the selected theme's kind.
    static void PaintBar(QPainter& painter, const QRect& rect, int level, int hintLevel, bool pressed, bool lightTheme);

    QSize sizeHint() const override;

signals:
    /// The user chose `level` with the mouse or the wheel; the control shows it already.
    void levelPicked(int level);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void Pick(int level);
    void UpdateDescription();

    int m_level = 0;
    int m_hintLevel = 0;
    WheelNotches m_wheel;
    QPointer<QLabel> m_nameLabel;
};
