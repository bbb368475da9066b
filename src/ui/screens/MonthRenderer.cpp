#include "ui/screens/MonthRenderer.h"

#include "model/CivilDays.h"
#include "model/CycleDatabase.h"
#include "ui/screens/MonthItem.h"
#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/ImageCache.h"

#include <QDate>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QStringList>

#include <algorithm>

namespace {
// Letters for a locale that names no weekday, Monday first.
constexpr char16_t kFallbackLetters[7] = {u'M', u'T', u'W', u'T', u'F', u'S', u'S'};
constexpr int kMaxLetterLength = 6;
constexpr int kMaxRows = 6;
// How much of a note a tooltip shows.
constexpr int kNotePreviewLength = 80;

bool IsNoLetter(const QString& text)
{
    return text.isEmpty() || std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

QColor Blend(QColor base, QRgb target, int a)
{
    const auto mix = [a](int from, int to) { return (from * (256 - a) + to * a) / 256; };
    return QColor(mix(base.red(), qRed(target)), mix(base.green(), qGreen(target)), mix(base.blue(), qBlue(target)));
}

// The centred square of side `side` inside `cell`.
QRectF CentredSquare(const QRect& cell, qreal side)
{
    const QPointF centre(cell.left() + cell.width() / 2.0, cell.top() + cell.height() / 2.0);
    return QRectF(centre.x() - side / 2.0, centre.y() - side / 2.0, side, side);
}
} // namespace

MonthRenderer::MonthRenderer()
{
    for (int i = 0; i < 7; ++i)
        m_dayLetters[static_cast<size_t>(i)] = QString(QChar(kFallbackLetters[i]));
}

MonthRenderer::~MonthRenderer() = default;

void MonthRenderer::Prepare()
{
    const QLocale locale;
    for (int i = 0; i < 7; ++i) {
        // The narrow names are the letters a language uses for its weekday columns; the first
        // characters of the short names can give one letter seven times. Some locales (C)
        // number the days instead; they get a letter of the short name, or the English one.
        QString letter = locale.dayName(i + 1, QLocale::NarrowFormat).left(kMaxLetterLength).toUpper();
        if (IsNoLetter(letter))
            letter = locale.dayName(i + 1, QLocale::ShortFormat).left(1).toUpper();
        if (IsNoLetter(letter))
            letter = QString(QChar(kFallbackLetters[i]));
        m_dayLetters[static_cast<size_t>(i)] = letter;
    }
    m_firstDayOfWeek = std::clamp(static_cast<int>(locale.firstDayOfWeek()) - 1, 0, 6);
    m_pageHeight = 0;
    PageHeight();
}

const QString& MonthRenderer::DayLetter(int weekday) const
{
    return m_dayLetters[static_cast<size_t>(std::clamp(weekday, 0, 6))];
}

int MonthRenderer::PageHeight()
{
    if (m_pageHeight == 0) {
        const ImageCache& cache = TheImageCache();
        m_pageHeight = (cache.CaptionHeight() + 6 * cache.DescriptionHeight()) * 2;
    }
    return m_pageHeight;
}

int MonthRenderer::PageWidth(int clientWidth)
{
    return std::max(0, std::min(clientWidth, 2 * PageHeight()));
}

void MonthRenderer::SetMarkedDate(const CalDate& date)
{
    const bool valid = IsValidDate(date);
    m_markedDay = valid ? date.day : 0;
    m_markedMonth = valid ? date.month : 0;
    m_markedYear = valid ? date.year : 0;
}

CalDate MonthRenderer::MarkedDate() const
{
    return CalDate{static_cast<int16_t>(m_markedMonth), static_cast<int16_t>(m_markedDay),
                   static_cast<int16_t>(m_markedYear)};
}

void MonthRenderer::ReleaseBackground()
{
    m_background = QImage();
}

const QImage& MonthRenderer::Background(QSize size, qreal ratio)
{
    if (m_background.isNull() || m_background.devicePixelRatio() != ratio ||
        m_background.deviceIndependentSize().toSize() != size) {
        m_background = QImage(size * ratio, QImage::Format_ARGB32_Premultiplied);
        m_background.setDevicePixelRatio(ratio);
        const ColorTheme& theme = SelectedTheme();
        QLinearGradient gradient(0, 0, 0, size.height());
        gradient.setColorAt(0.0, theme.Color(4));
        gradient.setColorAt(1.0, theme.Color(5));
        QPainter painter(&m_background);
        painter.fillRect(QRect(QPoint(0, 0), size), gradient);
    }
    return m_background;
}

void MonthRenderer::RenderPage(MonthItem& item, QSize size, const QWidget* widget)
{
    item.cells.clear();
    if (size.isEmpty()) {
        item.page = QImage();
        return;
    }
    QImage page = CScrollPanel::CreateBackBuffer(widget, size);
    const QImage& background = Background(size, page.devicePixelRatio());
    const ColorTheme& theme = SelectedTheme();
    QPainter painter(&page);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), background);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    CScrollPanel::Draw3dRect(painter, 0, 0, size.width(), size.height(), theme.Color(8), theme.Color(9));
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawMonthGrid(painter, QRect(QPoint(0, 0), size), item.month, item.year, item.cells);
    painter.end();
    item.page = std::move(page);
}

QString MonthRenderer::MonthTitle(int month, int year)
{
    return QStringLiteral("%1, %2").arg(QLocale().standaloneMonthName(month, QLocale::LongFormat),
                                        QString::number(year));
}

void MonthRenderer::DrawMonthGrid(QPainter& painter, const QRect& page, int month, int year, std::vector<QRect>& cells)
{
    cells.clear();
    if (month < 1 || month > 12)
        return;
    const ImageCache& cache = TheImageCache();
    const ColorTheme& theme = SelectedTheme();
    const int l1 = cache.CaptionHeight();
    const int l2 = cache.DescriptionHeight();
    const int width = page.width();
    const int margin = width / 14;
    const int column = (width - 2 * margin) / 7;
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    m_today = Today();

    QRect row(page.left(), page.top() + l1 / 2, width, l1);
    painter.setFont(cache.CaptionFont());
    painter.setPen(theme.Color(2));
    painter.drawText(row, flags, MonthTitle(month, year));

    row.translate(0, (3 * l1) / 2);
    painter.setFont(cache.DescriptionFont());
    for (int j = 0; j < 7; ++j) {
        const QRect heading(page.left() + margin + j * column, row.top(), column, row.height());
        painter.drawText(heading, flags, DayLetter((m_firstDayOfWeek + j) % 7));
    }

    const int step = (3 * l2) / 2;
    const int firstRowTop = row.top() + step;
    const int firstWeekday = QDate(year, month, 1).dayOfWeek() - 1;
    int col = (firstWeekday - m_firstDayOfWeek + 7) % 7;
    int line = 0;
    const int days = DaysInMonth(year, month);
    cells.reserve(static_cast<size_t>(days));
    const QColor bodyText = theme.Color(3);
    for (int day = 1; day <= days && line < kMaxRows; ++day) {
        const QRect cell(page.left() + margin + col * column, firstRowTop + line * step, column, row.height());
        const CalDate date{static_cast<int16_t>(month), static_cast<int16_t>(day), static_cast<int16_t>(year)};
        painter.setPen(bodyText);
        DecorateCell(painter, cell, date);
        painter.drawText(cell, flags, QString::number(day));
        cells.push_back(cell);
        if (++col == 7) {
            col = 0;
            ++line;
        }
    }
}

QColor MonthRenderer::BaseTextColor(const CalDate& day) const
{
    if (day.day == m_markedDay && day.month == m_markedMonth && day.year == m_markedYear)
        return QColor(SelectedTheme().IsLight() ? kMarkedTextLight : kMarkedTextDark);
    const int weekday = QDate(day.year, day.month, day.day).dayOfWeek();
    if (weekday == Qt::Saturday || weekday == Qt::Sunday)
        return QColor(kWeekendText);
    return SelectedTheme().Color(3);
}

MonthRenderer::CellState MonthRenderer::LookUp(const CalDate& day)
{
    CycleDatabase& database = TheCycleDatabase();
    const DayRecord record = database.GetDay(day);
    CellState state;
    state.level = LevelOf(record);
    state.stored = (record.flags & kNoRecordFlag) == 0;
    state.hasNote = (record.flags & kHasNoteFlag) != 0;
    state.note = record.note;
    state.chance = record.chance;
    if (state.chance == -1)
        state.chance = database.ChanceForDate(day);
    state.daysAhead = CivilDaysBetween(day, m_today);
    const int d = std::clamp(state.daysAhead, 1, 365);
    state.fade = ((366 - d) * 100) / 365;
    return state;
}

void MonthRenderer::DecorateCell(QPainter& painter, const QRect& cell, const CalDate& day)
{
    const QColor text = BaseTextColor(day);
    const CellState state = LookUp(day);
    const ColorTheme& theme = SelectedTheme();

    int weight = 0;
    bool bleeding = false;
    if (state.fade > 2 && state.level > 0) {
        weight = 256 / (4 - state.level);
        bleeding = true;
    } else if (state.fade > 2 && state.chance > 25) {
        const int band = std::min(state.chance / 25 - 1, 3);
        weight = 256 / (4 - band);
    }
    // The discs are round whatever the cell's shape, so that they read as discs on a wide grid.
    const qreal side = std::min(cell.width(), cell.height());
    QRgb frame = kPlainFrame;
    if (weight > 0) {
        const int a = (weight * state.fade) / 100;
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Blend(theme.Color(1), bleeding ? kBleedingTarget : kFertileTarget, a));
        painter.drawEllipse(CentredSquare(cell, side - 4));
        painter.setBrush(Qt::NoBrush);
        painter.setRenderHint(QPainter::Antialiasing, false);
        frame = bleeding ? kBleedingFrame : kFertileFrame;
    }
    if (IsSameDate(day, m_today)) {
        // Today keeps a mark of its own: the marked colour follows the last edited day.
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(theme.Color(2), 2.0));
        painter.drawEllipse(CentredSquare(cell, side - 2));
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    const int left = cell.left();
    const int top = cell.top();
    const int right = cell.left() + cell.width();
    const int bottom = cell.top() + cell.height();
    if (state.stored) {
        const int t = (bottom - top) / 3;
        painter.setPen(QPen(QColor(frame), 0));
        painter.drawLine(left, top + t, left, top);
        painter.drawLine(left, top, left + t, top);
        painter.drawLine(right - 1, top + t, right - 1, top);
        painter.drawLine(right - 1, top, right - 1 - t, top);
        painter.drawLine(left, bottom - 1 - t, left, bottom - 1);
        painter.drawLine(left, bottom - 1, left + t, bottom - 1);
        painter.drawLine(right - 1, bottom - 1 - t, right - 1, bottom - 1);
        painter.drawLine(right - 1, bottom - 1, right - 1 - t, bottom - 1);
    }
    if (state.hasNote) {
        const int q = (bottom - top) / 4 + 1;
        painter.setPen(QPen(QColor(kNoteDark), 0));
        painter.drawLine(left, bottom - q - (q + 1) / 2, left, bottom);
        painter.drawLine(left, bottom, left + 2 * q, bottom);
        painter.setPen(QPen(QColor(kNoteLight), 0));
        painter.drawLine(left, bottom - q, left + q, bottom);
        painter.drawLine(left + q, bottom, left, bottom);
        painter.drawLine(left, bottom, left, bottom - q);
    }
    painter.setPen(text);
}

QString MonthRenderer::DescribeDay(const CalDate& day)
{
    m_today = Today();
    const CellState state = LookUp(day);
    CycleDatabase& database = TheCycleDatabase();
    int storedLevel = 0;
    const int index = database.FindIndex(day);
    if (state.stored && index >= 0)
        storedLevel = LevelOf(database.Records()[static_cast<size_t>(index)]);

    QStringList lines;
    lines << QLocale().toString(QDate(day.year, day.month, day.day), QLocale::LongFormat);
    if (IsSameDate(day, m_today))
        lines << QStringLiteral("Today (ring)");
    if (state.level > 0) {
        QString origin;
        if (state.stored && storedLevel == state.level)
            origin = QStringLiteral("recorded");
        else if (state.daysAhead > 0)
            origin = QStringLiteral("expected");
        else
            origin = QStringLiteral("filled in");
        lines << QStringLiteral("Bleeding: %1, %2 (red disc)").arg(LevelName(state.level), origin);
        // A late period is predicted from tomorrow: its days say when it was due.
        CalDate start = day;
        const int late = database.LateDays();
        if (late >= 0 && database.FindPeriodStart(start) && IsSameDate(start, OffsetDate(m_today, 1)))
            lines << QStringLiteral("Late: expected on %1").arg(FormatMonthDay(OffsetDate(m_today, -late)));
    } else if (state.stored) {
        lines << QStringLiteral("Bleeding: No");
    }
    if (state.chance > 0) {
        lines << (state.chance > 25 && state.level == 0
                      ? QStringLiteral("Chance of conception: %1 % (green disc)").arg(state.chance)
                      : QStringLiteral("Chance of conception: %1 %").arg(state.chance));
    }
    if (state.stored)
        lines << QStringLiteral("Stored day (corner marks)");
    if (state.hasNote) {
        QString note = state.note.simplified();
        if (note.size() > kNotePreviewLength) {
            int cut = kNotePreviewLength;
            if (note.at(cut - 1).isHighSurrogate())
                --cut;
            note = note.left(cut) + QChar(0x2026);
        }
        lines << QStringLiteral("Note (folded corner): %1").arg(note);
    }
    return lines.join(QLatin1Char('\n'));
}

MonthRenderer& TheMonthRenderer()
{
    static MonthRenderer renderer;
    return renderer;
}
