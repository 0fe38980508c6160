#pragma once

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QString>

#include <cstdio>

// A file written under a hidden temporary name beside its destination; it is
// removed unless the writer hands it over with commit().
class TemporaryOutput {
    static constexpr int kNameStart = 32;

public:
    explicit TemporaryOutput(const QString &destination)
    {
        const QFileInfo info(destination);
        // Only the start of the name: a destination name near the file
        // system's limit would leave no room for the temporary's additions.
        m_path = QStringLiteral("%1/.%2.%3.part")
                     .arg(info.absolutePath(), info.fileName().left(kNameStart))
                     .arg(QRandomGenerator::global()->generate64(), 0, 16);
    }
    ~TemporaryOutput()
    {
        if (!m_kept)
            QFile::remove(m_path);
    }
    const QString &path() const { return m_path; }
    // Replaces the destination in one step, so a reader never sees half a file.
    bool commit(const QString &destination)
    {
        if (std::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(destination).constData()) != 0)
            return false;
        m_kept = true;
        return true;
    }

private:
    QString m_path;
    bool m_kept = false;
};

