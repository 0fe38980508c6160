#pragma once

#include <QDialog>

class QDialogButtonBox;
class QFileSystemModel;
class QLabel;
class QTreeView;

// Picks a folder from the file system's folders, shown as a tree from the
// top of the file system with the start folder selected. With a status line
// it names the selected folder under the tree, so a long path that the tree
// cuts off can still be read whole.
class FolderBrowser : public QDialog {
    Q_OBJECT
public:
    FolderBrowser(const QString &title, const QString &startFolder, bool statusText, QWidget *parent = nullptr);

    // The selected folder; empty while none is selected.
    QString selectedFolder() const;
    // Selects path when it names a folder; otherwise nothing changes.
    void selectFolder(const QString &path);

    QTreeView *treeFolders = nullptr;
    QLabel *lblStatus = nullptr;
    QDialogButtonBox *buttons = nullptr;

private:
    void selectionChanged();

    QFileSystemModel *m_model = nullptr;
};
