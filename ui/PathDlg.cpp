#include "ui/PathDlg.h"

#include "support/SettingsKey.h"
#include "ui/PathDlgBreadcrumb.h"
#include "ui/PathDlgList.h"
#include "ui/PathDlgTree.h"
#include "ui/PathDlgWorker.h"
#include "ui/PathFunctions.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

// The dialog's size and the minimum size, in dialog units of the classic template.
constexpr int kTemplateWidth = 284;
constexpr int kTemplateHeight = 279;
// How long the tree's selection must rest before the path field follows it.
constexpr int kTreeSettleMs = 300;

const char* const kTreeModeValue = "PathDlgTreeMode";
const char* const kBreadcrumbValue = "PathDlgBreadCrumb";

// Where the last dialog of this process was, so the next one opens there.
std::optional<QRect>& RememberedRectStore()
{
    static std::optional<QRect> rect;
    return rect;
}

std::string ToNative(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString FromNative(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

bool IsUnc(const QString& path)
{
    return IsUncPath(ToNative(path));
}

// Whether the folder can be listed: the test that network paths get instead of a type check.
bool CanListFolder(const QString& path)
{
    std::error_code error;
    const std::filesystem::directory_iterator it(ToNative(path), error);
    return !error;
}

bool IsKey(const QEvent* event, std::initializer_list<int> keys)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

bool IsEnter(const QEvent* event)
{
    return IsKey(event, {Qt::Key_Return, Qt::Key_Enter});
}

// A settings key and value name for a registry name: "#Name" lies in the toolkit's shared key.
std::pair<CSettingsKey, std::string> RegistryValue(const std::string& registryName)
{
    if (registryName.starts_with('#'))
        return {CSettingsKey::Common(), registryName.substr(1)};
    return {CSettingsKey(), registryName};
}

}  // namespace

CPathDlg::CPathDlg(QWidget* parent, std::optional<std::string> registryName)
    : QDialog(parent)
    , registryName_(std::move(registryName))
{
    BuildControls();
    LoadRegistry();
}

CPathDlg::~CPathDlg()
{
    StopWorker();
    ShowWaitCursor(false);
    if (started_)
        WriteModes();
}

void CPathDlg::BuildControls()
{
    setWindowTitle(QStringLiteral("Verzeichnis w\u00e4hlen"));
    setSizeGripEnabled(true);

    pathLabel_ = new QLabel(QStringLiteral("Verzeichnisname:"), this);
    pathField_ = new QComboBox(this);
    pathField_->setObjectName(QStringLiteral("pathField"));
    pathField_->setEditable(true);
    pathField_->setInsertPolicy(QComboBox::NoInsert);
    pathField_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    pathField_->lineEdit()->installEventFilter(this);
    pathField_->lineEdit()->setAcceptDrops(true);
    // Typing wins over a tree selection that has not settled yet.
    connect(pathField_->lineEdit(), &QLineEdit::textEdited, this, [this] { treeSettle_->stop(); });
    pathLabel_->setBuddy(pathField_);
    breadcrumb_ = new CPathDlgBreadcrumb(this);
    breadcrumb_->setObjectName(QStringLiteral("breadcrumb"));
    breadcrumb_->setAcceptDrops(true);
    breadcrumb_->installEventFilter(this);
    pathStack_ = new QStackedWidget(this);
    pathStack_->addWidget(pathField_);
    pathStack_->addWidget(breadcrumb_);
    pathStack_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    listModel_ = new CPathDlgListModel(this);
    list_ = new CPathDlgList(this);
    list_->setObjectName(QStringLiteral("folderList"));
    list_->setModel(listModel_);
    auto* driveLabel = new QLabel(QStringLiteral("Laufwerk:"), this);
    driveSelector_ = new QComboBox(this);
    driveSelector_->setObjectName(QStringLiteral("driveSelector"));
    driveSelector_->installEventFilter(this);
    const int icon = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    driveSelector_->setIconSize(QSize(icon, icon));
    driveLabel->setBuddy(driveSelector_);

    auto* listPage = new QWidget(this);
    auto* listLayout = new QVBoxLayout(listPage);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(list_, 1);
    listLayout->addWidget(driveLabel);
    listLayout->addWidget(driveSelector_);
    viewStack_ = new QStackedWidget(this);
    viewStack_->addWidget(listPage);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    upButton_ = new QPushButton(QStringLiteral("Aufw\u00e4rts"), this);
    upButton_->setObjectName(QStringLiteral("upButton"));
    breadcrumbCheck_ = new QCheckBox(QStringLiteral("Brotkrumen"), this);
    breadcrumbCheck_->setObjectName(QStringLiteral("breadcrumbCheck"));
    breadcrumbCheck_->hide();
    treeCheck_ = new QCheckBox(QStringLiteral("Baum anzeigen"), this);
    treeCheck_->setObjectName(QStringLiteral("treeCheck"));
    treeCheck_->hide();

    auto* left = new QVBoxLayout;
    left->addWidget(pathLabel_);
    left->addWidget(pathStack_);
    left->addWidget(viewStack_, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(okButton_);
    right->addWidget(cancelButton_);
    right->addSpacing(okButton_->sizeHint().height());
    right->addWidget(upButton_);
    right->addStretch(1);
    right->addWidget(breadcrumbCheck_);
    right->addWidget(treeCheck_);
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(left, 1);
    outer->addLayout(right);

    treeSettle_ = new QTimer(this);
    treeSettle_->setSingleShot(true);
    treeSettle_->setInterval(kTreeSettleMs);

    connect(okButton_, &QPushButton::clicked, this, &CPathDlg::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &CPathDlg::reject);
    connect(upButton_, &QPushButton::clicked, this, &CPathDlg::GoUp);
    connect(list_, &QListView::doubleClicked, this, [this](const QModelIndex& index) { OnDoubleClick(index.row()); });
    connect(list_, &CPathDlgList::enterPressed, this, &CPathDlg::OnEnterInList);
    connect(list_, &CPathDlgList::pathDropped, this, &CPathDlg::DropPath);
    connect(driveSelector_, &QComboBox::activated, this, &CPathDlg::ChooseDrive);
    connect(pathField_, &QComboBox::activated, this, [this](int index) { GoTo(pathField_->itemText(index)); });
    connect(breadcrumb_, &CPathDlgBreadcrumb::pathChosen, this, &CPathDlg::GoTo);
    connect(breadcrumb_, &CPathDlgBreadcrumb::editFinished, this, [this](const QString& text, bool byEnter) {
        SetPathFieldText(text);
        if (byEnter)
            okButton_->setFocus(Qt::OtherFocusReason);
    });
    connect(treeCheck_, &QCheckBox::toggled, this, &CPathDlg::SetTreeMode);
    connect(breadcrumbCheck_, &QCheckBox::toggled, this, &CPathDlg::SetBreadcrumbMode);
    connect(treeSettle_, &QTimer::timeout, this, [this] { FollowTree(pendingTreePath_); });
}

void CPathDlg::SetTitle(const QString& title)
{
    title_ = title;
    setWindowTitle(title.isEmpty() ? QStringLiteral("Verzeichnis w\u00e4hlen") : title);
}

QString CPathDlg::SetPath(const QString& path)
{
    path_ = Normalize(path);
    return path_;
}

QString CPathDlg::Normalize(const QString& path) const
{
    return FromNative(NormalizePath(ToNative(path), (options_ & kPlainUnc) != 0));
}

void CPathDlg::SetPathExtension(const QString& extension)
{
    pathExtension_ = extension;
    if (extension.isEmpty() || extensionAction_)
        return;
    extensionAction_ = new QAction(QStringLiteral("Pfaderweiterung"), this);
    connect(extensionAction_, &QAction::triggered, this, [this] {
        QString base = Normalize(PathFieldText());
        if (!base.endsWith(QLatin1Char('/')))
            base += QLatin1Char('/');
        GoTo(base + pathExtension_);
    });
    addAction(extensionAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void CPathDlg::SetClock(const CTickSource& clock)
{
    list_->SetClock(clock);
}

std::optional<QRect> CPathDlg::RememberedRect()
{
    return RememberedRectStore();
}

int CPathDlg::Run(unsigned options)
{
    Prepare(options);
    return exec() == QDialog::Accepted ? kOk : kCancel;
}

void CPathDlg::Start(unsigned options)
{
    Prepare(options);
    show();
}

QString CPathDlg::GetPath(int which) const
{
    if (which == 0)
        return path_;
    if (!pathWithSeparator_.isEmpty())
        return pathWithSeparator_;
    std::string withSeparator = ToNative(path_);
    return FromNative(AddSlash(withSeparator));
}

void CPathDlg::Prepare(unsigned options)
{
    options_ = options;
    started_ = true;
    finishing_ = false;
    pathWithSeparator_.clear();

    ReadModes();
    const bool treeOffered = (options_ & kNoTreeMode) == 0;
    if (!treeOffered)
        treeMode_ = false;
    treeCheck_->setVisible(treeOffered);
    breadcrumbCheck_->setVisible(true);
    {
        const QSignalBlocker blockTree(treeCheck_);
        const QSignalBlocker blockCrumbs(breadcrumbCheck_);
        treeCheck_->setChecked(treeMode_);
        breadcrumbCheck_->setChecked(breadcrumbMode_);
    }
    SetBreadcrumbMode(breadcrumbMode_);

    // The worker's results come back as queued calls into this thread; it shares nothing else.
    CPathDlgWorker::Callbacks callbacks;
    callbacks.drivesReady = [this](std::vector<PathDlgDrive> drives) {
        auto shared = std::make_shared<std::vector<PathDlgDrive>>(std::move(drives));
        QMetaObject::invokeMethod(this, [this, shared] { AddDrives(std::move(*shared)); }, Qt::QueuedConnection);
    };
    callbacks.batch = [this](std::uint64_t request, std::vector<std::string> names) {
        auto shared = std::make_shared<std::vector<std::string>>(std::move(names));
        QMetaObject::invokeMethod(this, [this, request, shared] { OnBatch(request, std::move(*shared)); }, Qt::QueuedConnection);
    };
    callbacks.listed = [this](std::uint64_t request, bool) {
        QMetaObject::invokeMethod(this, [this, request] { OnListed(request); }, Qt::QueuedConnection);
    };
    worker_.reset();
    worker_ = std::make_unique<CPathDlgWorker>(std::move(callbacks));

    Place();

    QString start = path_;
    const bool mustExist = (options_ & kMustExist) != 0;
    if (start.isEmpty()) {
        start = QDir::currentPath();
    } else if (IsUnc(start) && (options_ & kPlainUnc) == 0) {
        if (mustExist && !CanListFolder(start))
            start = QDir::currentPath();
    } else {
        const int type = GetPathType(ToNative(start));
        if (mustExist && type == kPathMissing)
            start = QDir::currentPath();
        else if (type == kPathFile)
            start = QFileInfo(start).absolutePath();
    }
    pathField_->clear();
    for (const std::string& entry : history_.Entries())
        pathField_->addItem(FromNative(entry));
    GoTo(start);
    if (treeMode_)
        SetTreeMode(true);
    else
        viewStack_->setCurrentIndex(0);
}

void CPathDlg::ReadModes()
{
    const CSettingsKey key = CSettingsKey::Common();
    std::uint32_t value = 0;
    if ((options_ & kNoTreeMode) == 0 && key.ReadDword(kTreeModeValue, value))
        treeMode_ = value != 0;
    if (key.ReadDword(kBreadcrumbValue, value))
        breadcrumbMode_ = value != 0;
}

void CPathDlg::WriteModes() const
{
    CSettingsKey key = CSettingsKey::Common();
    if ((options_ & kNoTreeMode) == 0)
        key.WriteDword(kTreeModeValue, treeMode_ ? 1 : 0);
    key.WriteDword(kBreadcrumbValue, breadcrumbMode_ ? 1 : 0);
}

void CPathDlg::Place()
{
    const QFontMetrics metrics(font());
    const QSize templateSize(kTemplateWidth * metrics.averageCharWidth() / 4, kTemplateHeight * metrics.height() / 8);
    setMinimumSize(templateSize);
    const std::optional<QRect>& remembered = RememberedRectStore();
    if (!remembered) {
        resize(templateSize);
        return;
    }
    QRect rect = *remembered;
    const QScreen* screen = QGuiApplication::screenAt(rect.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        rect.setSize(rect.size().boundedTo(area.size()).expandedTo(templateSize));
        rect.moveLeft(std::clamp(rect.left(), area.left(), std::max(area.left(), area.right() - rect.width() + 1)));
        rect.moveTop(std::clamp(rect.top(), area.top(), std::max(area.top(), area.bottom() - rect.height() + 1)));
    }
    setGeometry(rect);
}

void CPathDlg::GoTo(const QString& path)
{
    const QString folder = SetPath(path);
    SetPathFieldText(folder);
    shownFolder_ = folder;
    listModel_->SetFolder(folder);
    list_->SelectRow(listModel_->Depth());
    if (treeMode_ && tree_)
        SelectInTree(folder);
    lastFolderOnDrive_[DriveOf(folder)] = folder;
    FollowDrive();
    if (worker_) {
        ShowWaitCursor(true);
        currentRequest_ = listingRequest_ = worker_->Request(ToNative(folder));
    }
}

void CPathDlg::OnDoubleClick(int row)
{
    if (row == listModel_->Depth())
        Confirm();
    else if (row >= 0)
        GoTo(listModel_->PathAt(row));
}

void CPathDlg::OnEnterInList()
{
    const int row = list_->SelectedRow();
    if (row >= 0)
        GoTo(listModel_->PathAt(row));
}

void CPathDlg::DropPath(const QString& path)
{
    if (!path.isEmpty())
        GoTo(path);
}

void CPathDlg::GoUp()
{
    if (treeMode_) {
        const std::vector<PathDlgLevel> levels = PathLevels(Normalize(PathFieldText()));
        if (levels.size() > 1)
            GoTo(levels[levels.size() - 2].path);
        return;
    }
    const int depth = listModel_->Depth();
    if (depth > 0)
        OnDoubleClick(depth - 1);
}

void CPathDlg::AddDrives(std::vector<PathDlgDrive> drives)
{
    const QFileIconProvider icons;
    const QIcon driveIcon = icons.icon(QFileIconProvider::Drive);
    const QIcon networkIcon = icons.icon(QFileIconProvider::Network);
    for (const PathDlgDrive& drive : drives) {
        const QString root = FromNative(drive.root);
        if (driveSelector_->findData(root) >= 0)
            continue;
        driveSelector_->addItem(drive.network ? networkIcon : driveIcon, drive.label, root);
    }
    if (!shownFolder_.isEmpty())
        lastFolderOnDrive_[DriveOf(shownFolder_)] = shownFolder_;
    FollowDrive();
}

void CPathDlg::OnBatch(std::uint64_t request, std::vector<std::string> names)
{
    if (request != currentRequest_ || request == 0)
        return;
    listModel_->AddNames(std::move(names));
}

void CPathDlg::OnListed(std::uint64_t request)
{
    if (request != currentRequest_ || request == 0)
        return;
    listingRequest_ = 0;
    if (list_->SelectedRow() < 0)
        list_->SelectRow(listModel_->Depth());
    FollowDrive();
    ShowWaitCursor(false);
}

QString CPathDlg::DriveOf(const QString& path) const
{
    QString best;
    for (int i = 0; i < driveSelector_->count(); ++i) {
        const QString root = driveSelector_->itemData(i).toString();
        const bool inside = path == root || root == QStringLiteral("/") ||
            (path.startsWith(root) && path.at(root.size()) == QLatin1Char('/'));
        if (inside && root.size() > best.size())
            best = root;
    }
    return best.isEmpty() ? QStringLiteral("/") : best;
}

void CPathDlg::FollowDrive()
{
    const int index = driveSelector_->findData(DriveOf(shownFolder_));
    if (index >= 0)
        driveSelector_->setCurrentIndex(index);
}

void CPathDlg::ChooseDrive(int index)
{
    const QString root = driveSelector_->itemData(index).toString();
    if (root.isEmpty() || root == DriveOf(shownFolder_))
        return;
    const auto last = lastFolderOnDrive_.find(root);
    GoTo(last != lastFolderOnDrive_.end() ? last->second : root);
}

void CPathDlg::SetTreeMode(bool on)
{
    treeMode_ = on && (options_ & kNoTreeMode) == 0;
    if (treeMode_) {
        if (!tree_) {
            tree_ = new CPathDlgTree(this);
            tree_->setObjectName(QStringLiteral("folderTree"));
            viewStack_->addWidget(tree_);
            connect(tree_, &CPathDlgTree::selectedPathChanged, this, [this](const QString& path) {
                if (selectingTree_)
                    return;
                pendingTreePath_ = path;
                treeSettle_->start();
            });
            connect(tree_, &CPathDlgTree::pathDropped, this, &CPathDlg::DropPath);
        }
        viewStack_->setCurrentWidget(tree_);
        SelectInTree(Normalize(PathFieldText()));
        return;
    }
    treeSettle_->stop();
    viewStack_->setCurrentIndex(0);
    if (!started_)
        return;
    const QString typed = Normalize(PathFieldText());
    if (!typed.isEmpty() && typed != shownFolder_)
        GoTo(typed);
}

void CPathDlg::SetBreadcrumbMode(bool on)
{
    breadcrumbMode_ = on;
    pathStack_->setCurrentWidget(on ? static_cast<QWidget*>(breadcrumb_) : pathField_);
    breadcrumb_->SetPath(PathFieldText());
}

void CPathDlg::SelectInTree(const QString& path)
{
    // The path field already holds what the program selects; only the user's clicks in the
    // tree are to flow back into it.
    treeSettle_->stop();
    selectingTree_ = true;
    tree_->SelectPath(path);
    selectingTree_ = false;
}

void CPathDlg::FollowTree(const QString& path)
{
    if (!treeMode_ || path.isEmpty())
        return;
    SetPathFieldText(SetPath(path));
}

QString CPathDlg::PathFieldText() const
{
    return pathField_->currentText();
}

void CPathDlg::SetPathFieldText(const QString& text)
{
    pathField_->setEditText(text);
    breadcrumb_->SetPath(text);
}

void CPathDlg::accept()
{
    Confirm();
}

void CPathDlg::Confirm()
{
    if (finishing_)
        return;
    if (treeMode_ && treeSettle_->isActive()) {
        treeSettle_->stop();
        FollowTree(pendingTreePath_);
    }

    // A typed path is shown first in list mode, so the user sees where OK would lead.
    const QString text = PathFieldText();
    const bool plainUnc = (options_ & kPlainUnc) != 0;
    QString path = Normalize(text);
    if (!treeMode_ && path != shownFolder_) {
        GoTo(text);
        return;
    }
    if (path.isEmpty()) {
        ShowError(QStringLiteral("Der Pfad existiert nicht !"));
        return;
    }

    const bool unc = !plainUnc && IsUnc(path);
    if (unc) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        std::error_code error;
        const std::filesystem::path resolved = std::filesystem::canonical(ToNative(path), error);
        QApplication::restoreOverrideCursor();
        if (!error)
            path = FromNative(resolved.string());
    }
    if (!ConfirmChecks(path))
        return;

    history_.Add(ToNative(path));
    SaveRegistry();

    path_ = path;
    std::string withSeparator = ToNative(path);
    pathWithSeparator_ = FromNative(AddSlash(withSeparator));
    SetPathFieldText(pathWithSeparator_);
    Finish(QDialog::Accepted);
    std::string withoutSeparator = ToNative(path_);
    RemoveSlash(withoutSeparator);
    path_ = FromNative(withoutSeparator);
}

bool CPathDlg::ConfirmChecks(const QString& path)
{
    const bool unc = (options_ & kPlainUnc) == 0 && IsUnc(path);
    if (options_ & kCreateMissing) {
        const bool present = unc && CanListFolder(path);
        if (!present && CreatePath(ToNative(path)) == kCreateFailed) {
            ShowError(QStringLiteral("Der Pfad kann nicht erzeugt werden !"));
            return false;
        }
    }
    if (options_ & kMustExist) {
        const int type = GetPathType(ToNative(path));
        const bool exists = unc ? CanListFolder(path) : type == kPathFolder || type == kPathDriveRoot;
        if (!exists) {
            ShowError(QStringLiteral("Der Pfad existiert nicht !"));
            return false;
        }
    }
    return true;
}

void CPathDlg::reject()
{
    if (finishing_)
        return;
    // Escape first closes an open breadcrumb drop-down.
    if (QWidget* popup = QApplication::activePopupWidget(); popup && breadcrumbMode_) {
        popup->close();
        return;
    }
    Finish(QDialog::Rejected);
}

void CPathDlg::Finish(int result)
{
    finishing_ = true;
    treeSettle_->stop();
    StopWorker();
    if (!isMaximized() && isVisible())
        RememberedRectStore() = geometry();
    ShowWaitCursor(false);
    QDialog::done(result);
}

void CPathDlg::StopWorker()
{
    if (!worker_)
        return;
    // Results still queued for this dialog are dropped by their request number.
    currentRequest_ = 0;
    listingRequest_ = 0;
    worker_->Stop([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10); });
    worker_.reset();
}

void CPathDlg::ShowWaitCursor(bool on)
{
    if (on == waitCursor_)
        return;
    waitCursor_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void CPathDlg::ShowError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"), text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("pathDlgError"));
    const bool waiting = waitCursor_;
    ShowWaitCursor(false);
    box.exec();
    ShowWaitCursor(waiting && listingRequest_ != 0);
}

bool CPathDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pathField_->lineEdit()) {
        if (IsEnter(event)) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->modifiers() & Qt::ControlModifier) {
                if (treeMode_ && tree_)
                    SelectInTree(Normalize(PathFieldText()));
            } else {
                Confirm();
            }
            return true;
        }
    }
    if (watched == driveSelector_ && IsEnter(event)) {
        driveSelector_->showPopup();
        return true;
    }
    if (watched == pathField_->lineEdit() || watched == breadcrumb_) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!FirstDroppedPath(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = FirstDroppedPath(drop->mimeData());
            if (!path.isEmpty()) {
                drop->acceptProposedAction();
                DropPath(path);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CPathDlg::LoadRegistry()
{
    if (!registryName_ || registryName_->empty() || *registryName_ == "#")
        return;
    const auto [key, name] = RegistryValue(*registryName_);
    std::string last;
    if (key.ReadString(name, last))
        path_ = FromNative(last);
    std::vector<std::string> entries;
    if (key.ReadMultiString(name + "Last", entries))
        history_ = CPathHistory(std::move(entries));
    for (const std::string& entry : history_.Entries())
        pathField_->addItem(FromNative(entry));
}

void CPathDlg::SaveRegistry() const
{
    if (!registryName_ || registryName_->empty() || *registryName_ == "#")
        return;
    auto [key, name] = RegistryValue(*registryName_);
    if (!history_.Entries().empty())
        key.WriteString(name, history_.Entries().front());
    key.WriteMultiString(name + "Last", history_.Entries());
}
