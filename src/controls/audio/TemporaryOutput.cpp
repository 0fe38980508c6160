#include "controls/audio/TemporaryOutput.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>

namespace {

// Only the start of the name: a destination name near the file system's
// limit would leave no room for the temporary's additions.
constexpr int kNameStart = 32;

} // namespace

TemporaryOutput::TemporaryOutput(QString destination)
    : m_destination(std::move(destination))
{
    const QFileInfo info(m_destination);
    m_path = QStringLiteral("%1/.%2.%3.part")
                 .arg(info.absolutePath(), info.fileName().left(kNameStart))
                 .arg(QRandomGenerator::global()->generate64(), 0, 16);
}

TemporaryOutput::~TemporaryOutput()
{
    if (!m_kept)
        QFile::remove(m_path);
}

bool TemporaryOutput::commit()
{
    if (std::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(m_destination).constData()) != 0)
        return false;
    m_kept = true;
    return true;
}
