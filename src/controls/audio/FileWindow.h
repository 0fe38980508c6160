#pragma once

#include <QByteArray>
#include <QFile>

// Reads an open file by ranges through a window of its bytes: a walk that
// moves forward through the file reads each byte once and holds no more
// than the window, however large the file; nothing is mapped.
class FileWindow {
public:
    // The most bytes one look may ask for.
    static constexpr qint64 kMaxLook = 64 * 1024;

    explicit FileWindow(QFile &file, qint64 window = 256 * 1024);
    FileWindow(const FileWindow &) = delete;
    FileWindow &operator=(const FileWindow &) = delete;

    qint64 size() const { return m_size; }
    // The count bytes at pos (count at most kMaxLook), valid until the next
    // look; nullptr when they run past the end or cannot be read.
    const uchar *at(qint64 pos, qint64 count)
    {
        if (pos >= m_start && pos + count <= m_start + m_buffer.size())
            return reinterpret_cast<const uchar *>(m_buffer.constData()) + (pos - m_start);
        return fill(pos, count);
    }

private:
    const uchar *fill(qint64 pos, qint64 count);

    QFile &m_file;
    qint64 m_size;
    qint64 m_window;
    qint64 m_start = 0;
    QByteArray m_buffer;
};
