#include "ui/PathDlgList.h"

#include "support/TickCount.h"
#include "ui/PathDlgWorker.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int kIndentStep = 12;
constexpr int kMinRowHeight = 20;
constexpr int kWheelStep = 120;

bool IsUncFolder(const QString& folder)
{
    return folder.startsWith(QStringLiteral("//"));
}

// Indents each row by its level in the chain; rows are at least 20 pixels high.
class CIndentDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() + Indent(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(size.width() + Indent(index));
        size.setHeight(std::max({size.height(), option.decorationSize.height() + 4, kMinRowHeight}));
        return size;
    }

private:
    static int Indent(const QModelIndex& index) { return index.data(CPathDlgListModel::kIndentRole).toInt() * kIndentStep; }
};

std::u32string LowerText(const QString& text)
{
    const QList<uint> codes = text.toLower().toUcs4();
    return {codes.begin(), codes.end()};
}

}  // namespace

std::vector<PathDlgLevel> PathLevels(const QString& folder)
{
    const QString root = IsUncFolder(folder) ? QStringLiteral("//") : QStringLiteral("/");
    std::vector<PathDlgLevel> levels{{root, root}};
    QString path = root;
    for (const QString& part : folder.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (!path.endsWith(QLatin1Char('/')))
            path += QLatin1Char('/');
        path += part;
        levels.push_back({part, path});
    }
    return levels;
}

CPathDlgListModel::CPathDlgListModel(QObject* parent)
    : QAbstractListModel(parent)
{
    const QFileIconProvider icons;
    rootIcon_ = icons.icon(QFileIconProvider::Drive);
    folderIcon_ = icons.icon(QFileIconProvider::Folder);
}

void CPathDlgListModel::SetFolder(const QString& folder)
{
    beginResetModel();
    folder_ = folder;
    chain_ = PathLevels(folder);
    subfolders_.clear();
    endResetModel();
}

void CPathDlgListModel::AddNames(std::vector<std::string> names)
{
    if (names.empty())
        return;
    const int base = static_cast<int>(chain_.size());
    const int oldCount = SubfolderCount();
    const int added = static_cast<int>(names.size());

    // Append first, then merge into place as a layout change: a batch costs two signals and
    // one linear merge, however the names interleave.
    beginInsertRows({}, base + oldCount, base + oldCount + added - 1);
    subfolders_.reserve(subfolders_.size() + names.size());
    for (std::string& name : names) {
        const QString label = QFile::decodeName(QByteArray::fromStdString(name));
        subfolders_.push_back({std::move(name), label});
    }
    endInsertRows();

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<Subfolder> merged;
    merged.reserve(subfolders_.size());
    std::vector<int> newRow(subfolders_.size());
    int a = 0;
    int b = oldCount;
    const int total = static_cast<int>(subfolders_.size());
    while (a < oldCount || b < total) {
        const bool takeNew = a == oldCount || (b < total && PathNameLess(subfolders_[b].name, subfolders_[a].name));
        const int from = takeNew ? b++ : a++;
        newRow[from] = static_cast<int>(merged.size());
        merged.push_back(std::move(subfolders_[from]));
    }
    subfolders_ = std::move(merged);

    QModelIndexList from;
    QModelIndexList to;
    for (const QModelIndex& index : persistentIndexList()) {
        if (index.row() < base)
            continue;
        from.push_back(index);
        to.push_back(createIndex(base + newRow[index.row() - base], 0));
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QString CPathDlgListModel::PathAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    if (row < static_cast<int>(chain_.size()))
        return chain_[static_cast<std::size_t>(row)].path;
    const QString& label = subfolders_[static_cast<std::size_t>(row) - chain_.size()].label;
    return folder_.endsWith(QLatin1Char('/')) ? folder_ + label : folder_ + QLatin1Char('/') + label;
}

int CPathDlgListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(chain_.size() + subfolders_.size());
}

QVariant CPathDlgListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    const bool inChain = row < chain_.size();
    switch (role) {
    case Qt::DisplayRole:
        return inChain ? chain_[row].label : subfolders_[row - chain_.size()].label;
    case Qt::DecorationRole:
        return row == 0 ? rootIcon_ : folderIcon_;
    case kIndentRole:
        return inChain ? static_cast<int>(row) : static_cast<int>(chain_.size());
    case kPathRole:
        return PathAt(index.row());
    default:
        return {};
    }
}

CPathDlgList::CPathDlgList(QWidget* parent)
    : QListView(parent)
{
    setItemDelegate(new CIndentDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    const int icon = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    setIconSize(QSize(icon, icon));
}

void CPathDlgList::SelectRow(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    const QModelIndex index = model()->index(row, 0);
    setCurrentIndex(index);
    scrollTo(index);
}

int CPathDlgList::SelectedRow() const
{
    const QModelIndexList selected = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void CPathDlgList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text.front().isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        TypeAhead(text);
        return;
    }
    QListView::keyPressEvent(event);
}

void CPathDlgList::TypeAhead(const QString& text)
{
    const std::uint32_t now = clock_->Now();
    for (const char32_t c : LowerText(text))
        typeAhead_.Type(c, now);
    const auto row = typeAhead_.Find(model()->rowCount(), SelectedRow(),
        [this](int r) { return LowerText(model()->index(r, 0).data().toString()); });
    if (row)
        SelectRow(*row);
    else
        QApplication::beep();
}

void CPathDlgList::wheelEvent(QWheelEvent* event)
{
    // One row per wheel notch, whatever the system's scroll setting; fine-grained wheels add
    // up to a notch first.
    wheelRemainder_ += event->angleDelta().y();
    const int steps = wheelRemainder_ / kWheelStep;
    wheelRemainder_ -= steps * kWheelStep;
    if (steps != 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - steps);
    event->accept();
}

QString FirstDroppedPath(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().isEmpty())
        return {};
    const QUrl& first = mime->urls().front();
    if (!first.isLocalFile())
        return {};
    const QFileInfo info(first.toLocalFile());
    if (!info.exists())
        return {};
    return info.isDir() ? info.absoluteFilePath() : info.absolutePath();
}

void AcceptPathDrag(QDragMoveEvent* event)
{
    if (!FirstDroppedPath(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

QString TakeDroppedPath(QDropEvent* event)
{
    const QString path = FirstDroppedPath(event->mimeData());
    if (path.isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
    return path;
}

void CPathDlgList::dragEnterEvent(QDragEnterEvent* event)
{
    AcceptPathDrag(event);
}

void CPathDlgList::dragMoveEvent(QDragMoveEvent* event)
{
    AcceptPathDrag(event);
}

void CPathDlgList::dropEvent(QDropEvent* event)
{
    const QString path = TakeDroppedPath(event);
    if (!path.isEmpty())
        emit pathDropped(path);
}
