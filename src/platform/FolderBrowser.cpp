#include "platform/FolderBrowser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

FolderBrowser::FolderBrowser(const QString &title, const QString &startFolder, bool statusText, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(title);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setReadOnly(true);
    m_model->setRootPath(QDir::rootPath());

    treeFolders = new QTreeView(this);
    treeFolders->setModel(m_model);
    treeFolders->setHeaderHidden(true);
    // The name alone: size, kind and date say nothing about a folder.
    for (int column = 1; column < m_model->columnCount(); ++column)
        treeFolders->setColumnHidden(column, true);
    treeFolders->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    lblStatus = new QLabel(this);
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblStatus->setWordWrap(true);
    lblStatus->setVisible(statusText);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(treeFolders, 1);
    layout->addWidget(lblStatus);
    layout->addWidget(buttons);
    resize(420, 480);

    connect(treeFolders->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FolderBrowser::selectionChanged);
    selectionChanged();
    selectFolder(startFolder);
}

QString FolderBrowser::selectedFolder() const
{
    const QModelIndex current = treeFolders->currentIndex();
    return current.isValid() ? m_model->filePath(current) : QString();
}

void FolderBrowser::selectFolder(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return;
    const QModelIndex index = m_model->index(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (!index.isValid())
        return;
    for (QModelIndex above = index.parent(); above.isValid(); above = above.parent())
        treeFolders->expand(above);
    treeFolders->setCurrentIndex(index);
    treeFolders->scrollTo(index);
}

void FolderBrowser::selectionChanged()
{
    const QString folder = selectedFolder();
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!folder.isEmpty());
    // "Auswahl" (selection) has always led the status line.
    lblStatus->setText(folder.isEmpty() ? QString() : QStringLiteral("Auswahl: ") + folder);
}
