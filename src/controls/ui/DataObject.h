#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

// What a drop from the file manager carries: the dropped paths, the first
// at index 1.
class DataObject {
public:
    DataObject() = default;
    explicit DataObject(QStringList files)
        : m_files(std::move(files))
    {
    }

    int FileCount() const { return m_files.size(); }
    // Empty for an index outside 1 .. FileCount.
    QString Files(int index) const { return index >= 1 && index <= m_files.size() ? m_files.at(index - 1) : QString(); }
    QStringList fileList() const { return m_files; }

private:
    QStringList m_files;
};

Q_DECLARE_METATYPE(DataObject)
