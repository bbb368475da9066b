#pragma once

#include <QString>
#include <QStringView>

/// "1 day", "2 days", "0 days": the count with the word in the form the count needs.
QString CountText(long long count, QStringView singular, QStringView plural);
