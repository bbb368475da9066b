#pragma once

#include <QAbstractButton>
#include <QImage>

/// The day editor's bleeding control: a bar of drops whose bright share grows with the level
/// (None, Slight, Medium, Heavy). Clicking it is a command to the dialog; the dialog decides
/// the level. Drawn from the drop images of the image cache, the white set on light themes.
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

    /// The source column where the bright drops end for `level`: 0, 64, 104 or 166.
    static int SplitColumn(int level);

    /// Paints the bar of `level` into `rect`, 2 pixels lower and shorter when `pressed`,
    /// from the bright and dull images of the selected theme's kind.
    static void PaintBar(QPainter& painter, const QRect& rect, int level, int hintLevel, bool pressed, bool lightTheme);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateDescription();

    int m_level = 0;
    int m_hintLevel = 0;
};
