#include "ToolkitTestSupport.h"

#include "platform/MessageBox.h"
#include "platform/gui/MessageBoxHandler.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

namespace {

class MessageBoxAnswersTest : public ToolkitTest
{
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        InstallMessageBoxHandler(nullptr);
    }

    void TearDown() override
    {
        SetMessageHandler(MessageHandler());
        ToolkitTest::TearDown();
    }

    // Shows a real box and lets `user` act on it once it is up.
    MessageAnswer Ask(MessageButtons buttons,
                      std::optional<MessageAnswer> defaultAnswer,
                      const std::function<void(QMessageBox&)>& user)
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
};

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

TEST_F(MessageBoxAnswersTest, EnterPressesTheNamedDefaultAndEscapeOrClosingIsTheSafeAnswer)
{
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
        EXPECT_EQ(ButtonTexts(box),
                  (QStringList{QStringLiteral("Cancel"), QStringLiteral("Discard"), QStringLiteral("Save")}));
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

} // namespace
