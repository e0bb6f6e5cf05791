#include "ui/PathDlgTree.h"

#include "ui/PathDlgList.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTimer>

CPathDlgTree::CPathDlgTree(QWidget* parent)
    : QTreeView(parent)
    , model_(new QFileSystemModel(this))
{
    model_->setIconProvider(&icons_);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    model_->setRootPath(QStringLiteral("/"));
    setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column)
        hideColumn(column);
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& current) {
            if (current.isValid() && !selecting_) {
                pending_.clear();
                emit selectedPathChanged(model_->filePath(current));
            }
        });
    connect(model_, &QFileSystemModel::directoryLoaded, this, &CPathDlgTree::OnDirectoryLoaded);
    connect(model_, &QAbstractItemModel::layoutChanged, this, &CPathDlgTree::KeepPendingInView);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &CPathDlgTree::KeepPendingInView);
}

bool CPathDlgTree::SelectPath(const QString& path)
{
    pending_ = path;
    return SelectNow(path);
}

bool CPathDlgTree::SelectNow(const QString& path)
{
    const QModelIndex index = model_->index(path);
    if (!index.isValid())
        return false;
    selecting_ = true;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        expand(parent);
    setCurrentIndex(index);
    scrollTo(index, QAbstractItemView::PositionAtCenter);
    selecting_ = false;
    return true;
}

void CPathDlgTree::OnDirectoryLoaded()
{
    // The model reads branches on its own thread; the rows above the selection only get their
    // final places once the folders on the way have been read and sorted.
    if (!pending_.isEmpty())
        SelectNow(pending_);
}

void CPathDlgTree::KeepPendingInView()
{
    if (!pending_.isEmpty() && currentIndex().isValid())
        QTimer::singleShot(0, this, [this] {
            if (!pending_.isEmpty())
                scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
        });
}

void CPathDlgTree::mousePressEvent(QMouseEvent* event)
{
    pending_.clear();
    QTreeView::mousePressEvent(event);
}

void CPathDlgTree::keyPressEvent(QKeyEvent* event)
{
    pending_.clear();
    QTreeView::keyPressEvent(event);
}

void CPathDlgTree::wheelEvent(QWheelEvent* event)
{
    pending_.clear();
    QTreeView::wheelEvent(event);
}

QString CPathDlgTree::SelectedPath() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? model_->filePath(current) : QString();
}

void CPathDlgTree::dragEnterEvent(QDragEnterEvent* event)
{
    AcceptPathDrag(event);
}

void CPathDlgTree::dragMoveEvent(QDragMoveEvent* event)
{
    AcceptPathDrag(event);
}

void CPathDlgTree::dropEvent(QDropEvent* event)
{
    const QString path = TakeDroppedPath(event);
    if (!path.isEmpty())
        emit pathDropped(path);
}
