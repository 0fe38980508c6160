#include "support/Mutagen.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

namespace Mutagen {

QJsonValue run(const QString &script, const QStringList &arguments)
{
    // The system's python is the one Debian's python3-mutagen installs into.
    const QString python = QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                              : QStringLiteral("python3");
    QProcess process;
    process.start(python, QStringList{QStringLiteral("-c"), script} + arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << "mutagen script failed: " << process.readAllStandardError().toStdString();
        return QJsonValue();
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson("[" + process.readAllStandardOutput() + "]", &error);
    if (error.error != QJsonParseError::NoError) {
        ADD_FAILURE() << "mutagen script printed no JSON: " << error.errorString().toStdString();
        return QJsonValue();
    }
    return document.array().at(0);
}

QJsonValue frames(const QString &path, bool translate)
{
    return run(QStringLiteral(R"(
import json, sys
from mutagen.id3 import ID3
def plain(value):
    if isinstance(value, bytes):
        return value.hex()
    if isinstance(value, list):
        return [plain(v) for v in value]
    return str(value)
tags = ID3(sys.argv[1], load_v1=False, translate=sys.argv[2] == "1")
print(json.dumps({key: {name: plain(value) for name, value in vars(frame).items() if name != "encoding"}
                  for key, frame in tags.items()}, sort_keys=True))
)"),
               {path, translate ? QStringLiteral("1") : QStringLiteral("0")});
}

} // namespace Mutagen
