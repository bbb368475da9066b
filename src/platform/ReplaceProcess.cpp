#include "platform/ReplaceProcess.h"

#include <QFile>

#include <unistd.h>

#include <vector>

void ReplaceProcess(const QString& program, const QStringList& arguments)
{
    std::vector<QByteArray> words;
    words.push_back(QFile::encodeName(program));
    for (const QString& argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    ::execv(argv.front(), argv.data());
}
