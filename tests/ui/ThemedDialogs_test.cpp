#include "ToolkitTestSupport.h"

#include "PixelContrast.h"
#include "platform/MessageBox.h"
#include "platform/gui/FileDialogs.h"
#include "platform/gui/MessageBoxHandler.h"
#include "settings/AppSettings.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/Contrast.h"
#include "ui/toolkit/ThemedPalette.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

namespace {
class ThemedDialogsTest : public ToolkitTest
{
protected:
    void TearDown() override
    {
        SetMessageHandler(MessageHandler());
        ToolkitTest::TearDown();
    }
};

// What a modal window looked like while it was open; it is then closed.
struct Seen
{
    QRect geometry;
    QColor window;
    QColor text;
    bool textWhole = true;
    bool buttonsFit = true;
    double defaultStandsOut = 0.0; ///< contrast of the default (No) button's frame to Yes's
};

// A button frame's colour: the pixel of its outer two pixels that differs most from the box.
QColor FrameColor(const QImage& image, QAbstractButton* button, QColor window)
{
    const QRect r = button->geometry();
    QColor best = window;
    for (const QRect& edge : {QRect(r.left(), r.top(), r.width(), 2), QRect(r.left(), r.top(), 2, r.height())}) {
        const QColor pixel = MostContrastingPixel(image, edge, window);
        if (ContrastRatio(pixel, window) > ContrastRatio(best, window))
            best = pixel;
    }
    return best;
}

void LookAtNextModal(Seen& seen)
{
    QTimer::singleShot(0, [&seen] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        seen.geometry = modal->frameGeometry();
        seen.window = modal->palette().color(QPalette::Window);
        seen.text = modal->palette().color(QPalette::WindowText);
        if (auto* label = modal->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            seen.textWhole = label->height() >= label->heightForWidth(label->width());
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            for (QAbstractButton* button : box->buttons())
                seen.buttonsFit = seen.buttonsFit && button->width() >= button->sizeHint().width();
            QAbstractButton* no = box->button(QMessageBox::No);
            if (no && static_cast<QAbstractButton*>(box->defaultButton()) == no) {
                const QImage image = box->grab().toImage();
                seen.defaultStandsOut = ContrastRatio(FrameColor(image, no, seen.window),
                                                      FrameColor(image, box->button(QMessageBox::Yes), seen.window));
            }
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
}

// Shows a real box and lets `user` act on it once it is up.
MessageAnswer
Ask(MessageButtons buttons, std::optional<MessageAnswer> defaultAnswer, const std::function<void(QMessageBox&)>& user)
{
    QTimer::singleShot(0, [&user] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no box is shown";
            return;
        }
        user(*box);
        if (box->isVisible()) {
            ADD_FAILURE() << "the box is still open";
            box->done(QMessageBox::Abort);
        }
    });
    return ShowMessage(QStringLiteral("Question?"), buttons, MessageIcon::Default, defaultAnswer);
}

// A key as the user presses it: to whatever has the focus in the box.
void Press(QMessageBox& box, Qt::Key key)
{
    QWidget* target = box.focusWidget() ? box.focusWidget() : &box;
    QTest::keyClick(target, key);
}

// The buttons' labels, sorted, without their shortcut marks.
QStringList ButtonTexts(QMessageBox& box)
{
    QStringList texts;
    for (QAbstractButton* button : box.buttons())
        texts << button->text().remove(QLatin1Char('&'));
    texts.sort();
    return texts;
}

} // namespace

TEST_F(ThemedDialogsTest, MessageBoxesAndFileDialogsTakeTheirOwnersThemeAndPlaceAndTheDefaultStandsOut)
{
    const QString question =
        QStringLiteral("131 days from a Clue export, 2 Mar 2019 to 30 Nov 2026; 4 entries skipped: unknown flow "
                       "value.\n\nYou have 120 days stored, and 12 dates are in both.\n\"Add to my days\" keeps "
                       "your own record on every date you have.\n\"Replace my days\" removes your 120 days first; "
                       "this cannot be undone.");
    for (int index = 0; index < ColorTheme::kThemeCount; ++index) {
        SCOPED_TRACE(index);
        TheAppSettings().selectedTheme = index;
        const ColorTheme& theme = SelectedTheme();
        QWidget owner;
        ApplyThemedPalette(&owner);
        owner.setGeometry(100, 50, 300, 480);
        owner.show();
        InstallMessageBoxHandler([&owner]() -> QWidget* { return &owner; });

        Seen box;
        LookAtNextModal(box);
        ShowMessage(question, MessageButtons::AddReplaceCancel, MessageIcon::Question, MessageAnswer::Add);
        EXPECT_LE(box.geometry.width(), owner.width()) << "no wider than its window";
        EXPECT_GE(box.geometry.left(), owner.geometry().left());
        EXPECT_LE(box.geometry.right(), owner.geometry().right());
        EXPECT_TRUE(box.textWhole) << "the wrapped text shows whole";
        EXPECT_TRUE(box.buttonsFit) << "every button shows its whole label";
        EXPECT_EQ(box.window, theme.Color(11));
        EXPECT_EQ(box.text, theme.Color(10));

        Seen small;
        LookAtNextModal(small);
        ShowMessage(QStringLiteral("Delete?"), MessageButtons::YesNo, MessageIcon::Default, MessageAnswer::No);
        EXPECT_LT(small.geometry.width(), owner.width());
        EXPECT_EQ(small.window, theme.Color(11));
        EXPECT_GE(small.defaultStandsOut, kMarkContrast) << "the default button stands out";

        Seen file;
        LookAtNextModal(file);
        EXPECT_TRUE(
            AskForCsvFile(FileDialogKind::Open, &owner, QStringLiteral("Import"), TempPath(QString())).isEmpty());
        EXPECT_EQ(file.window, theme.Color(11));
        EXPECT_EQ(file.text, theme.Color(10));
    }
}

TEST_F(ThemedDialogsTest, EnterPressesTheNamedDefaultAndEscapeOrClosingIsTheSafeAnswer)
{
    InstallMessageBoxHandler(nullptr);
    auto enter = [](QMessageBox& box) { Press(box, Qt::Key_Return); };
    auto escape = [](QMessageBox& box) { Press(box, Qt::Key_Escape); };
    auto close = [](QMessageBox& box) { box.close(); };

    // A destructive question: Enter answers No.
    EXPECT_EQ(Ask(MessageButtons::YesNo, MessageAnswer::No, enter), MessageAnswer::No);
    EXPECT_EQ(Ask(MessageButtons::YesNo, std::nullopt, enter), MessageAnswer::Yes);
    EXPECT_EQ(Ask(MessageButtons::YesNo, MessageAnswer::Yes, escape), MessageAnswer::No);

    // Leaving edits: Enter saves; Escape and closing the box go back to the edits.
    EXPECT_EQ(Ask(MessageButtons::SaveDiscardCancel, std::nullopt, enter), MessageAnswer::Save);
    EXPECT_EQ(Ask(MessageButtons::SaveDiscardCancel, std::nullopt, escape), MessageAnswer::Cancel);
    EXPECT_EQ(Ask(MessageButtons::SaveDiscardCancel, std::nullopt, close), MessageAnswer::Cancel);
    const MessageAnswer discarded = Ask(MessageButtons::SaveDiscardCancel, std::nullopt, [](QMessageBox& box) {
        QTest::mouseClick(box.button(QMessageBox::Discard), Qt::LeftButton);
    });
    EXPECT_EQ(discarded, MessageAnswer::Discard);

    // Imported days: Enter adds, Escape and closing cancel, the buttons say what they do.
    EXPECT_EQ(Ask(MessageButtons::AddReplaceCancel, MessageAnswer::Add, enter), MessageAnswer::Add);
    EXPECT_EQ(Ask(MessageButtons::AddReplaceCancel, MessageAnswer::Add, escape), MessageAnswer::Cancel);
    EXPECT_EQ(Ask(MessageButtons::AddReplaceCancel, MessageAnswer::Add, close), MessageAnswer::Cancel);
    const MessageAnswer replaced = Ask(MessageButtons::AddReplaceCancel, MessageAnswer::Add, [](QMessageBox& box) {
        EXPECT_EQ(ButtonTexts(box), (QStringList{QStringLiteral("Add to my days"), QStringLiteral("Cancel"),
                                                 QStringLiteral("Replace my days")}));
        QTest::mouseClick(box.button(QMessageBox::No), Qt::LeftButton);
    });
    EXPECT_EQ(replaced, MessageAnswer::Replace);
}
