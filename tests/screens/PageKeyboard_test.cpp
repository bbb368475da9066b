#include "PageTestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/MessageRecorder.h"
#include "platform/gui/SoftKeyBar.h"
#include "resources/ResourceIds.h"
#include "ui/screens/CAboutDlg.h"
#include "ui/screens/CCalendarDlg.h"
#include "ui/screens/CConceptionProbabilityDlg.h"
#include "ui/screens/CDueDateCalcDlg.h"
#include "ui/screens/CHistoryDialog.h"
#include "ui/screens/COvulationDlg.h"
#include "ui/screens/CPasswordSetDlg.h"
#include "ui/screens/CSettingsDlg.h"
#include "ui/screens/CStatisticsDlg.h"
#include "ui/screens/CSummaryPanel.h"
#include "ui/screens/CTodayDlg.h"
#include "ui/screens/CWelcomeDlg.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

namespace {

using PageMaker = std::function<std::unique_ptr<CBlackDialog>(QWidget*)>;

template <class Page> PageMaker Make()
{
    return [](QWidget* host) { return std::make_unique<Page>(host); };
}

struct PageCase
{
    const char* name;
    PageMaker make;
    /// A drawn item the page must offer a screen reader (a pattern of its name); empty: none.
    const char* drawnItem = "";
    /// Tab reaches at least this many controls (read-only ones and drawn ones included).
    int tabStops = 1;
};

// The mnemonic letter of `text` ("E&xport" gives 'x'); a null character when there is none.
QChar Mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] != QLatin1Char('&'))
                return text[i + 1].toLower();
            ++i;
        }
    }
    return QChar();
}

// Every item under `node` that takes the keyboard focus, is shown and has no name.
void FindUnnamed(QAccessibleInterface* node, QStringList& unnamed, int depth = 0)
{
    if (!node || depth > 10)
        return;
    const QAccessible::State state = node->state();
    if (state.focusable && !state.invisible && !state.disabled && node->text(QAccessible::Name).trimmed().isEmpty()) {
        const QObject* object = node->object();
        unnamed << QStringLiteral("%1 (role %2)")
                       .arg(object ? QString::fromLatin1(object->metaObject()->className()) : QStringLiteral("item"))
                       .arg(node->role());
    }
    for (int i = 0; i < node->childCount(); ++i)
        FindUnnamed(node->child(i), unnamed, depth + 1);
}

// The names of the drawn items (children without an object of their own) under `node`.
QStringList DrawnItemNames(QAccessibleInterface* node, int depth = 0)
{
    QStringList names;
    if (!node || depth > 10)
        return names;
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (child && !child->object())
            names << child->text(QAccessible::Name);
        else
            names << DrawnItemNames(child, depth + 1);
    }
    return names;
}

class PageKeyboardTest : public PageTest
{
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        SetToday(2026, 12, 8);
        TheCycleDatabase().ReplaceRecords(StartTwoPeriodExample());
    }
};

TEST_F(PageKeyboardTest, EveryPageIsReachedReadAndLeftByKeyboard)
{
    MessageRecorder messages;
    const std::vector<PageCase> pages = {
        {"day editor", Make<CTodayDlg>()},
        {"calendar", Make<CCalendarDlg>(), R"(^\w+, \w+ \d+, \d{4}(: .+)?$)"},
        {"conception", Make<CConceptionProbabilityDlg>(), R"(^Day \d+(, \w+ \d+)?: \d+ %(, expected ovulation)?$)"},
        {"ovulation", Make<COvulationDlg>(), "", 3},
        {"due date", Make<CDueDateCalcDlg>()},
        {"history", Make<CHistoryDialog>()},
        {"statistics", Make<CStatisticsDlg>()},
        {"settings", Make<CSettingsDlg>()},
        {"set password", Make<CPasswordSetDlg>()},
        {"welcome", Make<CWelcomeDlg>()},
        {"about", Make<CAboutDlg>()},
    };
    for (const PageCase& page : pages) {
        SCOPED_TRACE(page.name);
        std::unique_ptr<CBlackDialog> dialog = page.make(m_host.get());
        const int result = Run(*dialog, [&] {
            // Every page is left at the end, whatever fails on the way.
            const auto leave = qScopeGuard([&] {
                if (dialog->isVisible())
                    dialog->done(QDialog::Rejected);
            });
            QApplication::setActiveWindow(m_host.get());
            SoftKeyBar* bar = dialog->MenuBar();
            ASSERT_NE(bar, nullptr);

            // Alt and a letter reach one thing only: no two controls or keys share a letter.
            QMap<QChar, QString> letters;
            const auto claim = [&](const QString& text) {
                const QChar letter = Mnemonic(text);
                if (letter.isNull())
                    return;
                EXPECT_FALSE(letters.contains(letter))
                    << text.toStdString() << " and " << letters[letter].toStdString();
                letters[letter] = text;
            };
            for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
                if (button->isVisibleTo(dialog.get()))
                    claim(button->text());
            }
            for (QLabel* label : dialog->findChildren<QLabel*>()) {
                if (label->buddy())
                    claim(label->text());
            }

            // Tab visits the controls in reading order: down the page, and left to right on a line.
            QList<QWidget*> visited;
            for (int step = 0; step < 60; ++step) {
                QWidget* focus = QApplication::focusWidget();
                ASSERT_NE(focus, nullptr) << "nothing has the focus";
                if (visited.isEmpty() || visited.last() != focus) {
                    if (!visited.isEmpty() && focus == visited.first())
                        break;
                    visited << focus;
                }
                QTest::keyClick(focus, Qt::Key_Tab);
            }
            EXPECT_GE(visited.size(), page.tabStops);
            for (qsizetype i = 1; i < visited.size(); ++i) {
                const QRect before(visited[i - 1]->mapTo(dialog.get(), QPoint()), visited[i - 1]->size());
                const QRect after(visited[i]->mapTo(dialog.get(), QPoint()), visited[i]->size());
                const bool sameLine = std::abs(after.center().y() - before.center().y()) < before.height() / 2;
                EXPECT_TRUE(sameLine ? after.left() > before.left() : after.top() > before.center().y())
                    << visited[i - 1]->metaObject()->className() << " then " << visited[i]->metaObject()->className();
            }

            // A screen reader finds a name on everything she can focus, drawn items included.
            QStringList unnamed;
            FindUnnamed(QAccessible::queryAccessibleInterface(dialog.get()), unnamed);
            EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
            if (*page.drawnItem) {
                const QStringList names = DrawnItemNames(QAccessible::queryAccessibleInterface(dialog.get()));
                ASSERT_FALSE(names.isEmpty());
                for (const QString& name : names)
                    EXPECT_TRUE(QRegularExpression(QString::fromLatin1(page.drawnItem)).match(name).hasMatch())
                        << name.toStdString();
            }

            // Every date field is typed as the short date with a four-digit year, no weekday.
            for (QDateEdit* field : dialog->findChildren<QDateEdit*>()) {
                EXPECT_EQ(field->displayedSections(),
                          QDateTimeEdit::MonthSection | QDateTimeEdit::DaySection | QDateTimeEdit::YearSection);
                EXPECT_TRUE(field->displayFormat().contains(QStringLiteral("yyyy")));
            }

            // F10 opens the page's own keys as a menu, not the main window's menu.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            QStringList entries;
            for (QAction* action : menu->actions())
                entries << action->text();
            QStringList keys;
            for (const SoftKeyBar::Side side : {SoftKeyBar::Side::Left, SoftKeyBar::Side::Right}) {
                if (QPushButton* key = bar->Key(side))
                    keys << key->text();
            }
            EXPECT_EQ(entries, keys);
            QTest::keyClick(menu, Qt::Key_Escape);
            EXPECT_TRUE(dialog->isVisible()) << "Esc closes the menu first";

            // Esc leaves the page.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            EXPECT_FALSE(dialog->isVisible()) << "Esc did not leave the page";
        });
        EXPECT_NE(result, -1);
    }
}

TEST_F(PageKeyboardTest, DatesAreTypedSectionBySectionAndImpossibleOnesRefused)
{
    struct Typing
    {
        const char* keys;
        QDate expected;
    };
    CDueDateCalcDlg dialog(m_host.get());
    Look(dialog, [&] {
        auto* field = dialog.ControlAs<QDateEdit>(kIdcDueLastCycle);
        ASSERT_NE(field, nullptr);
        // February has no 30th: the field never holds it.
        const Typing typings[] = {{"11202026", QDate(2026, 11, 20)},
                                  {"1/5/2026", QDate(2026, 1, 5)},
                                  {"12152025", QDate(2025, 12, 15)},
                                  {"2302026", QDate(2026, 2, 28)}};
        for (const Typing& typing : typings) {
            SCOPED_TRACE(typing.keys);
            field->setDate(QDate(2026, 6, 6));
            field->setFocus();
            field->setCurrentSectionIndex(0);
            field->setSelectedSection(field->currentSection());
            QTest::keyClicks(field, QString::fromLatin1(typing.keys));
            field->interpretText();
            EXPECT_EQ(field->date(), typing.expected);
        }
    });
}

TEST_F(PageKeyboardTest, SummaryRowsReadTheirCaptionAndValue)
{
    CSummaryPanel panel;
    panel.resize(480, 600);
    panel.show();
    QAccessibleInterface* summary = QAccessible::queryAccessibleInterface(&panel);
    int withValue = 0;
    for (int i = 0; i < summary->childCount(); ++i) {
        QAccessibleInterface* row = summary->child(i);
        if (row->object())
            continue;
        EXPECT_FALSE(row->text(QAccessible::Name).isEmpty());
        withValue += !row->text(QAccessible::Value).isEmpty();
    }
    EXPECT_GT(withValue, panel.ItemCount() / 2) << "the rows' second lines are their values";
    // The keyboard's row is what the panel's value reads.
    QTest::keyClick(&panel, Qt::Key_Down);
    EXPECT_TRUE(summary->text(QAccessible::Value).startsWith(panel.Items()[0]->caption))
        << summary->text(QAccessible::Value).toStdString();
}

} // namespace
