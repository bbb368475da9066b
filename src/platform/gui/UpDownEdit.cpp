#include "platform/gui/UpDownEdit.h"

#include "platform/MessageBox.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <limits>

UpDownEdit::UpDownEdit(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
}

void UpDownEdit::SetRange(int minimum, int maximum)
{
    m_minimum = std::min(minimum, maximum);
    m_maximum = std::max(minimum, maximum);
    m_position = std::clamp(m_position, m_minimum, m_maximum);
}

int UpDownEdit::ReadNumber() const
{
    const QString value = text().trimmed();
    long long number = 0;
    for (const QChar c : value) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        number = std::min<long long>(number * 10 + (c.unicode() - u'0'), std::numeric_limits<int>::max());
    }
    return static_cast<int>(number);
}

bool UpDownEdit::AcceptsNumber(int minimum, int maximum, const QString& messageFormat)
{
    const int value = ReadNumber();
    if (value >= minimum && value <= maximum)
        return true;
    ShowMessage(messageFormat.arg(minimum).arg(maximum), MessageButtons::Ok, MessageIcon::Warning);
    setFocus();
    selectAll();
    return false;
}

void UpDownEdit::Step(int delta)
{
    const QString value = text().trimmed();
    const bool hasDigits = !value.isEmpty() && value.front().isDigit();
    const long long from = hasDigits ? ReadNumber() : m_position;
    m_position = static_cast<int>(std::clamp<long long>(from + delta, m_minimum, m_maximum));
    setText(QString::number(m_position));
    selectAll();
}

void UpDownEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up) {
        Step(1);
        return;
    }
    if (event->key() == Qt::Key_Down) {
        Step(-1);
        return;
    }
    QLineEdit::keyPressEvent(event);
}
