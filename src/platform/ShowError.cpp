#include "platform/ShowError.h"

#include "platform/MessageBox.h"

QString ErrorText(const QString& text, uint32_t errorCode)
{
    return QStringLiteral("%1\nrc=0x%2").arg(text, QString::number(errorCode, 16).toUpper().rightJustified(8, u'0'));
}

void ShowError(const QString& text, uint32_t errorCode)
{
    ShowMessage(ErrorText(text, errorCode), MessageButtons::Ok, MessageIcon::Error);
}
