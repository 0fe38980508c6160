#pragma once

#include <QtGlobal>

// The part of its source a job control's next job reads, in whole seconds;
// -1 and -1 read all of it. A range belongs to the one job it was set for.
class AudioRange {
public:
    void RangeStart(qint32 seconds) { m_rangeStart = seconds; }
    void RangeLength(qint32 seconds) { m_rangeLength = seconds; }
    qint32 RangeStart() const { return m_rangeStart; }
    qint32 RangeLength() const { return m_rangeLength; }

protected:
    struct Range {
        qint32 start;
        qint32 length;
    };
    // The range of the job starting now; the next job reads everything
    // unless it is set again.
    Range takeRange()
    {
        const Range range{m_rangeStart, m_rangeLength};
        m_rangeStart = -1;
        m_rangeLength = -1;
        return range;
    }

private:
    qint32 m_rangeStart = -1;
    qint32 m_rangeLength = -1;
};
