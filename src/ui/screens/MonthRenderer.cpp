#include "ui/screens/MonthRenderer.h"

#include "model/CivilDays.h"
#include "model/CycleDatabase.h"
#include "ui/screens/MonthItem.h"
#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/Contrast.h"
#include "ui/toolkit/ImageCache.h"

#include <QDate>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {
// Letters for a locale that names no weekday, Monday first.
constexpr char16_t kFallbackLetters[7] = {u'M', u'T', u'W', u'T', u'F', u'S', u'S'};
constexpr int kMaxLetterLength = 6;
constexpr int kMaxRows = 6;
// How much of a note a tooltip shows.
constexpr int kNotePreviewLength = 80;
// The numbers are small and their thin strokes lose some of their colour to smoothing, so a
// colour that has to change aims higher than the least readable contrast; weekdays higher
// still, so that the weekend's dimmer numbers differ from them on light themes too.
constexpr double kNumberContrast = 6.0;
constexpr double kDayNumberContrast = 8.0;

// Wide views: column counts that start every row with a quarter of the year, the zoom steps,
// and the width a page keeps at most, in page heights.
constexpr int kColumnChoices[] = {6, 4, 3, 2, 1};
constexpr double kPreferredZoom = 1.5;
constexpr double kMaxZoom = 2.0;
constexpr double kZoomStep = 0.25;
constexpr double kMaxPageAspect = 2.5;

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

PageLayout MonthRenderer::LayoutFor(QSize view)
{
    PageLayout layout;
    const int naturalHeight = std::max(1, PageHeight());
    const int naturalWidth = 2 * naturalHeight;
    const int width = std::max(0, view.width());
    for (const int columns : kColumnChoices) {
        if (columns == 1 || width / columns >= naturalWidth * kPreferredZoom) {
            layout.columns = columns;
            break;
        }
    }
    const int columnWidth = width / layout.columns;
    const auto steps = [](double ratio) { return std::floor(ratio / kZoomStep) * kZoomStep; };
    double zoom = std::min(steps(static_cast<double>(columnWidth) / naturalWidth),
                           steps(static_cast<double>(view.height()) / naturalHeight));
    layout.zoom = std::clamp(zoom, 1.0, kMaxZoom);
    const int height = static_cast<int>(std::lround(naturalHeight * layout.zoom));
    layout.pageSize = QSize(std::min(columnWidth, static_cast<int>(height * kMaxPageAspect)), height);
    return layout;
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

void MonthRenderer::RenderPage(MonthItem& item, QSize size, const QWidget* widget, double zoom)
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
    if (zoom <= 0.0 || zoom == 1.0) {
        DrawMonthGrid(painter, QRect(QPoint(0, 0), size), item.month, item.year, item.cells);
    } else {
        // The grid is laid out at its natural size and drawn enlarged; the cells are kept in
        // the page's own pixels for finding a day under the pointer.
        painter.scale(zoom, zoom);
        const QSize natural(static_cast<int>(size.width() / zoom), static_cast<int>(size.height() / zoom));
        DrawMonthGrid(painter, QRect(QPoint(0, 0), natural), item.month, item.year, item.cells);
        const auto scaled = [zoom](int v) { return static_cast<int>(std::lround(v * zoom)); };
        for (QRect& cell : item.cells) {
            cell = QRect(QPoint(scaled(cell.left()), scaled(cell.top())),
                         QPoint(scaled(cell.left() + cell.width()) - 1, scaled(cell.top() + cell.height()) - 1));
        }
    }
    painter.end();
    item.page = std::move(page);
}

MonthRenderer::PageColours MonthRenderer::ColoursFor(const ColorTheme& theme)
{
    const QColor top = theme.Color(4);
    const QColor bottom = theme.Color(5);
    const bool light = theme.IsLight();
    PageColours colours;
    colours.title = ReadableColor(theme.Color(2), {top, bottom});
    colours.weekday = ReadableColor(theme.Color(3), {top, bottom}, kDayNumberContrast);
    colours.weekend = ReadableColor(QColor(kWeekendText), {top, bottom}, kNumberContrast);
    colours.marked = ReadableColor(QColor(light ? kMarkedTextLight : kMarkedTextDark), {top, bottom}, kNumberContrast);
    colours.todayRing = ReadableColor(theme.Color(2), {top, bottom}, kMarkContrast);
    colours.bleedingRim = ReadableColor(QColor(kBleedingTarget), {top, bottom}, kMarkContrast);
    colours.fertileRim = ReadableColor(QColor(kFertileTarget), {top, bottom}, kMarkContrast);
    colours.bleedingFrame = ReadableColor(QColor(kBleedingFrame), {top, bottom}, kMarkContrast);
    colours.fertileFrame = ReadableColor(QColor(kFertileFrame), {top, bottom}, kMarkContrast);
    colours.plainFrame = ReadableColor(QColor(kPlainFrame), {top, bottom}, kMarkContrast);
    colours.noteEdge = ReadableColor(QColor(light ? kNoteDark : kNoteLight), {top, bottom}, kMarkContrast);
    colours.noteFold = ReadableColor(QColor(light ? kNoteLight : kNoteDark), {top, bottom}, kMarkContrast);
    return colours;
}

const MonthRenderer::PageColours& MonthRenderer::Colours() const
{
    const ColorTheme& theme = SelectedTheme();
    if (!m_coloursValid || m_coloursTheme.colors != theme.colors) {
        m_colours = ColoursFor(theme);
        m_coloursTheme = theme;
        m_coloursValid = true;
    }
    return m_colours;
}

QColor MonthRenderer::DiscColour(const ColorTheme& theme, QRgb target, int a)
{
    return Blend(theme.Color(1), target, a);
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
    const int l1 = cache.CaptionHeight();
    const int l2 = cache.DescriptionHeight();
    const int width = page.width();
    const int margin = width / 14;
    const int column = (width - 2 * margin) / 7;
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    m_today = Today();

    const PageColours& colours = Colours();
    QRect row(page.left(), page.top() + l1 / 2, width, l1);
    painter.setFont(cache.CaptionFont());
    painter.setPen(colours.title);
    painter.drawText(row, flags, MonthTitle(month, year));

    row.translate(0, (3 * l1) / 2);
    // The small letters and numbers snapped to whole pixels, so their strokes show their full
    // colour instead of a blend with what lies under them.
    QFont small = cache.DescriptionFont();
    small.setHintingPreference(QFont::PreferFullHinting);
    painter.setFont(small);
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
    for (int day = 1; day <= days && line < kMaxRows; ++day) {
        const QRect cell(page.left() + margin + col * column, firstRowTop + line * step, column, row.height());
        const CalDate date{static_cast<int16_t>(month), static_cast<int16_t>(day), static_cast<int16_t>(year)};
        painter.setPen(colours.weekday);
        painter.setFont(small);
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
    const PageColours& colours = Colours();
    if (day.day == m_markedDay && day.month == m_markedMonth && day.year == m_markedYear)
        return colours.marked;
    const int weekday = ToQDate(day).dayOfWeek();
    if (weekday == Qt::Saturday || weekday == Qt::Sunday)
        return colours.weekend;
    return colours.weekday;
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
    QColor text = BaseTextColor(day);
    const CellState state = LookUp(day);
    const ColorTheme& theme = SelectedTheme();
    const PageColours& colours = Colours();

    int weight = 0;
    bool bleeding = false;
    if (state.fade > 2 && state.level > 0) {
        weight = 256 / (4 - state.level);
        bleeding = true;
    } else if (state.fade > 2 && state.chance > 25) {
        const int band = std::min(state.chance / 25 - 1, 3);
        weight = 256 / (4 - band);
    }
    // The discs are round whatever the cell's shape, so that they read as discs on a wide grid,
    // and large enough to hold the day number.
    const qreal side = std::min(cell.width(), cell.height());
    QColor frame = colours.plainFrame;
    if (weight > 0) {
        const int a = (weight * state.fade) / 100;
        const QRgb target = bleeding ? kBleedingTarget : kFertileTarget;
        const QColor fill = DiscColour(theme, target, a);
        // A pale or dark fill alone can vanish into the page (a Slight day on a dark theme):
        // the disc's edge carries the mark's colour, fading only with the distance ahead.
        const QColor rim = Blend(theme.Color(1), (bleeding ? colours.bleedingRim : colours.fertileRim).rgb(),
                                 (256 * state.fade) / 100);
        const qreal rimWidth = std::max<qreal>(1.5, side / 12.0);
        const QRectF disc = CentredSquare(cell, side - 2);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.setBrush(rim);
        painter.drawEllipse(disc);
        painter.setBrush(fill);
        painter.drawEllipse(disc.adjusted(rimWidth, rimWidth, -rimWidth, -rimWidth));
        painter.setBrush(Qt::NoBrush);
        painter.setRenderHint(QPainter::Antialiasing, false);
        frame = bleeding ? colours.bleedingFrame : colours.fertileFrame;
        text = ReadableColor(text, {fill}, kNumberContrast);
        // A number on a disc is bold: the disc's colour lies close around its strokes.
        QFont bold = painter.font();
        bold.setBold(true);
        painter.setFont(bold);
    }
    if (IsSameDate(day, m_today)) {
        // Today keeps a mark of its own: the marked colour follows the last edited day.
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(colours.todayRing, 2.0));
        painter.drawEllipse(CentredSquare(cell, side - 1));
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    // The brackets and the note corner frame the number, not the whole width of a wide cell,
    // where they would run into those of the neighbouring days.
    const int boxWidth = std::min(cell.width(), static_cast<int>(side * 1.4));
    const int left = cell.left() + (cell.width() - boxWidth) / 2;
    const int top = cell.top();
    const int right = left + boxWidth;
    const int bottom = cell.top() + cell.height();
    // Marks one device pixel wide, whatever the page's zoom.
    const auto markPen = [](const QColor& colour) {
        QPen pen(colour, 1.0);
        pen.setCosmetic(true);
        return pen;
    };
    if (state.stored) {
        const int t = (bottom - top) / 3;
        painter.setPen(markPen(frame));
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
        // A folded corner: its edge along the cell's left and bottom, the fold filled.
        const int q = (bottom - top) / 4 + 1;
        painter.setPen(markPen(colours.noteEdge));
        painter.drawLine(left, bottom - q - (q + 1) / 2, left, bottom);
        painter.drawLine(left, bottom, left + 2 * q, bottom);
        const QPoint fold[] = {QPoint(left, bottom - q), QPoint(left + q, bottom), QPoint(left, bottom)};
        painter.setPen(markPen(colours.noteFold));
        painter.setBrush(colours.noteFold);
        painter.drawPolygon(fold, 3);
        painter.setBrush(Qt::NoBrush);
    }
    painter.setPen(text);
}

QString MonthRenderer::BleedingOrigin(const CellState& state, const CalDate& day)
{
    CycleDatabase& database = TheCycleDatabase();
    int storedLevel = 0;
    const int index = database.FindIndex(day);
    if (state.stored && index >= 0)
        storedLevel = LevelOf(database.Records()[static_cast<size_t>(index)]);
    if (state.stored && storedLevel == state.level)
        return QStringLiteral("recorded");
    return state.daysAhead > 0 ? QStringLiteral("expected") : QStringLiteral("filled in");
}

QString MonthRenderer::NotePreview(const CellState& state)
{
    QString note = state.note.simplified();
    if (note.size() > kNotePreviewLength) {
        int cut = kNotePreviewLength;
        if (note.at(cut - 1).isHighSurrogate())
            --cut;
        note = note.left(cut) + QChar(0x2026);
    }
    return note;
}

QString MonthRenderer::DescribeDay(const CalDate& day)
{
    m_today = Today();
    const CellState state = LookUp(day);
    CycleDatabase& database = TheCycleDatabase();

    QStringList lines;
    lines << QLocale().toString(ToQDate(day), QLocale::LongFormat);
    if (IsSameDate(day, m_today))
        lines << QStringLiteral("Today (ring)");
    if (state.level > 0) {
        lines << QStringLiteral("Bleeding: %1, %2 (red disc)").arg(LevelName(state.level), BleedingOrigin(state, day));
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
    if (state.hasNote)
        lines << QStringLiteral("Note (folded corner): %1").arg(NotePreview(state));
    return lines.join(QLatin1Char('\n'));
}

QString MonthRenderer::AccessibleDay(const CalDate& day)
{
    m_today = Today();
    const CellState state = LookUp(day);
    QStringList parts;
    if (IsSameDate(day, m_today))
        parts << QStringLiteral("today");
    if (state.level > 0) {
        parts << QStringLiteral("period %1 (%2)").arg(BleedingOrigin(state, day), LevelName(state.level).toLower());
    } else if (state.stored) {
        parts << QStringLiteral("no bleeding");
    }
    if (state.chance > 0)
        parts << QStringLiteral("chance of conception %1 %").arg(state.chance);
    if (state.hasNote)
        parts << QStringLiteral("note: %1").arg(NotePreview(state));
    const QString date = QLocale().toString(ToQDate(day), QLocale::LongFormat);
    return parts.isEmpty() ? date : date + QStringLiteral(": ") + parts.join(QStringLiteral(", "));
}

MonthRenderer& TheMonthRenderer()
{
    static MonthRenderer renderer;
    return renderer;
}
