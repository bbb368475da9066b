#include "app/StatusLine.h"
#include "model/CycleDatabase.h"
#include "settings/SettingsAccess.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromUtf16(kOrganizationName));
    QCoreApplication::setApplicationName(QString::fromUtf16(kApplicationName));
    TheCycleDatabase().Load();
    std::printf("%s\n", TodayStatusLine().toLocal8Bit().constData());
    return 0;
}
