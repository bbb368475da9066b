#include "platform/CountText.h"

QString CountText(long long count, QStringView singular, QStringView plural)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? singular : plural);
}
