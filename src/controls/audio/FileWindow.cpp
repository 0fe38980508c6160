#include "controls/audio/FileWindow.h"

#include <algorithm>

FileWindow::FileWindow(QFile &file, qint64 window)
    : m_file(file)
    , m_size(file.size())
    , m_window(std::max(window, kMaxLook))
{
}

const uchar *FileWindow::fill(qint64 pos, qint64 count)
{
    if (pos < 0 || count < 0 || count > kMaxLook || pos + count > m_size)
        return nullptr;
    m_buffer.resize(std::min(m_window, m_size - pos));
    const qint64 got = m_file.seek(pos) ? m_file.read(m_buffer.data(), m_buffer.size()) : -1;
    if (got < count) {
        // A short read (the file shrank under us) leaves nothing to look at.
        m_buffer.clear();
        m_start = 0;
        return nullptr;
    }
    m_buffer.resize(got);
    m_start = pos;
    return reinterpret_cast<const uchar *>(m_buffer.constData());
}
