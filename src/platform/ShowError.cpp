#include "platform/ShowError.h"

#include "platform/MessageBox.h"

void ShowError(const QString& text, uint32_t errorCode)
{
    const QString code = QString::number(errorCode, 16).toUpper().rightJustified(8, u'0');
    ShowMessage(QStringLiteral("%1\nrc=0x%2").arg(text, code), MessageButtons::Ok, MessageIcon::Error);
}
