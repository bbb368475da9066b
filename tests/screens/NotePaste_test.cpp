#include "PageTestSupport.h"

#include "model/CycleDatabase.h"
#include "ui/screens/CTodayDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QTest>

// Text pasted into the day editor's note, with line breaks as other programs put them on the
// clipboard, where the note reaches the 768 code units the data file holds: a line break is
// stored as CR LF, two units.
class NotePasteTest : public PageTest
{
protected:
    // Pastes `text` from the clipboard into the note that holds `before`, at `position` or at
    // its end.
    static QString Paste(QPlainTextEdit* notes, const QString& before, const QString& text, int position = -1)
    {
        notes->setPlainText(before);
        QTextCursor cursor = notes->textCursor();
        cursor.setPosition(position < 0 ? static_cast<int>(before.size()) : position);
        notes->setTextCursor(cursor);
        QApplication::clipboard()->setText(text);
        notes->paste();
        return notes->toPlainText();
    }
};

TEST_F(NotePasteTest, PastedLineBreaksCountTwiceAtTheLimit)
{
    const QString xs(760, QLatin1Char('x'));
    QString kept;
    RunNew<CTodayDlg>([&](CTodayDlg& dialog) {
        auto* notes = dialog.ControlAs<QPlainTextEdit>(kIdcTodayNotes);
        // Windows line breaks: 8 units fit after 760, so "1", break, "2", break, "3" (7 units);
        // the next break would make 769.
        EXPECT_EQ(Paste(notes, xs, QStringLiteral("1\r\n2\r\n3\r\n4\r\n5")), xs + QStringLiteral("1\n2\n3"));
        EXPECT_EQ(CTodayDlg::StoredLength(notes->toPlainText()), 767);
        // Old Mac and Unix breaks, filling the note exactly: a break as its last character.
        EXPECT_EQ(Paste(notes, xs, QStringLiteral("ab\rcd\n")), xs + QStringLiteral("ab\ncd\n"));
        EXPECT_EQ(CTodayDlg::StoredLength(notes->toPlainText()), 768);
        // Nothing more fits, not even a character.
        QTest::keyClicks(notes, QStringLiteral("z"));
        QTest::keyClick(notes, Qt::Key_Return);
        EXPECT_EQ(notes->toPlainText(), xs + QStringLiteral("ab\ncd\n"));
        // A character outside the basic plane is two units: never half of it after 767.
        EXPECT_EQ(Paste(notes, xs + QString(7, QLatin1Char('x')), QString::fromUtf16(u"\U0001F600")),
                  xs + QString(7, QLatin1Char('x')));

        // Many lines pasted in the middle: the text after the cursor stays, the paste is cut.
        kept = Paste(notes, QStringLiteral("head tail"), QStringLiteral("line\r\n").repeated(200), 5);
        EXPECT_TRUE(kept.startsWith(QStringLiteral("head line\n")));
        EXPECT_TRUE(kept.endsWith(QStringLiteral("tail")));
        EXPECT_LE(CTodayDlg::StoredLength(kept), 768);
        EXPECT_GT(CTodayDlg::StoredLength(kept), 768 - 6) << "as much of the paste as fits";
        dialog.OnCommand(kCmdTodaySave);
    });
    const std::vector<DayRecord>& records = TheCycleDatabase().Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].note, CTodayDlg::NoteForStorage(kept));
    EXPECT_LE(records[0].note.size(), kMaxNoteLength);
}
