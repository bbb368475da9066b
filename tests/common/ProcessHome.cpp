#include "ProcessHome.h"

#include <QDir>
#include <QFile>

ProcessHome::ProcessHome()
{
    QDir home(folder.path());
    for (const char* sub : {"Documents", "config", "runtime", "bin"})
        home.mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(Runtime(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    for (const char* tool : {"systemctl", "notify-send"}) {
        QFile stub(home.filePath(QStringLiteral("bin/") + QString::fromLatin1(tool)));
        if (!stub.open(QIODevice::WriteOnly))
            continue;
        stub.write("#!/bin/sh\nexit 0\n");
        stub.close();
        stub.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    environment.insert(QStringLiteral("HOME"), folder.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), Path(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), Runtime());
    environment.insert(QStringLiteral("PATH"),
                       Path(QStringLiteral("bin")) + u':' + environment.value(QStringLiteral("PATH")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
}

QString ProcessHome::Path(const QString& name) const
{
    return QDir(folder.path()).filePath(name);
}
