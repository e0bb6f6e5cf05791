#include "ui/PathDlgBreadcrumb.h"

#include "ui/PathDlgList.h"

#include <QDirIterator>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStackedLayout>
#include <QToolButton>

#include <algorithm>

namespace {

// Clicks on the crumbs' free space reach the bar itself.
class CCrumbArea final : public QWidget {
public:
    explicit CCrumbArea(CPathDlgBreadcrumb* bar)
        : QWidget(bar)
        , bar_(bar)
    {
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            bar_->StartEdit();
    }

private:
    CPathDlgBreadcrumb* bar_;
};

}  // namespace

CPathDlgBreadcrumb::CPathDlgBreadcrumb(QWidget* parent)
    : QWidget(parent)
    , stack_(new QStackedLayout(this))
    , crumbs_(new CCrumbArea(this))
    , crumbLayout_(new QHBoxLayout(crumbs_))
    , edit_(new QLineEdit(this))
{
    crumbLayout_->setContentsMargins(0, 0, 0, 0);
    crumbLayout_->setSpacing(0);
    crumbs_->setAttribute(Qt::WA_StyledBackground);
    crumbs_->setAutoFillBackground(true);
    crumbs_->setBackgroundRole(QPalette::Base);
    crumbs_->setCursor(Qt::IBeamCursor);
    stack_->addWidget(crumbs_);
    stack_->addWidget(edit_);
    edit_->setObjectName(QStringLiteral("breadcrumbEdit"));
    edit_->installEventFilter(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumHeight(edit_->sizeHint().height());
}

void CPathDlgBreadcrumb::SetPath(const QString& path)
{
    path_ = path;
    crumbList_.clear();
    while (QLayoutItem* item = crumbLayout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    ellipsis_ = new QToolButton(crumbs_);
    ellipsis_->setText(QStringLiteral("…"));
    ellipsis_->setAutoRaise(true);
    ellipsis_->setPopupMode(QToolButton::InstantPopup);
    ellipsis_->setCursor(Qt::ArrowCursor);
    ellipsis_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    ellipsis_->setMenu(new QMenu(ellipsis_));
    ellipsis_->hide();
    crumbLayout_->addWidget(ellipsis_);
    for (const PathDlgLevel& level : PathLevels(path)) {
        auto* button = new QToolButton(crumbs_);
        button->setText(level.label);
        button->setAutoRaise(true);
        button->setCursor(Qt::ArrowCursor);
        connect(button, &QToolButton::clicked, this, [this, target = level.path] { emit pathChosen(target); });
        crumbLayout_->addWidget(button);

        auto* more = new QToolButton(crumbs_);
        more->setArrowType(Qt::RightArrow);
        more->setAutoRaise(true);
        more->setPopupMode(QToolButton::InstantPopup);
        more->setCursor(Qt::ArrowCursor);
        more->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
        auto* menu = new QMenu(more);
        connect(menu, &QMenu::aboutToShow, this, [this, menu, folder = level.path] { FillMenu(menu, folder); });
        more->setMenu(menu);
        crumbLayout_->addWidget(more);
        crumbList_.push_back({level.path, button, more});
    }
    crumbLayout_->addStretch(1);
    if (!IsEditing())
        edit_->setText(path);
    FitCrumbs();
}

void CPathDlgBreadcrumb::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FitCrumbs();
}

void CPathDlgBreadcrumb::FitCrumbs()
{
    if (!ellipsis_ || crumbList_.empty())
        return;
    // Keep some free space to click into for typing.
    const int available = width() - ellipsis_->sizeHint().width();
    int needed = 0;
    for (const Crumb& crumb : crumbList_)
        needed += crumb.button->sizeHint().width() + crumb.more->sizeHint().width();
    std::size_t hidden = 0;
    while (needed > available && hidden + 1 < crumbList_.size()) {
        needed -= crumbList_[hidden].button->sizeHint().width() + crumbList_[hidden].more->sizeHint().width();
        ++hidden;
    }
    QMenu* menu = ellipsis_->menu();
    menu->clear();
    for (std::size_t i = 0; i < crumbList_.size(); ++i) {
        const bool visible = i >= hidden;
        crumbList_[i].button->setVisible(visible);
        crumbList_[i].more->setVisible(visible);
        if (!visible)
            menu->addAction(crumbList_[i].path, this, [this, target = crumbList_[i].path] { emit pathChosen(target); });
    }
    ellipsis_->setVisible(hidden > 0);
}

void CPathDlgBreadcrumb::FillMenu(QMenu* menu, const QString& folder)
{
    menu->clear();
    QStringList names;
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext() && names.size() < kMaxMenuEntries) {
        it.next();
        names.push_back(it.fileName());
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    for (const QString& name : names) {
        const QString target = folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
        menu->addAction(name, this, [this, target] { emit pathChosen(target); });
    }
    if (names.isEmpty())
        menu->addAction(QStringLiteral("\u2014"))->setEnabled(false);
}

void CPathDlgBreadcrumb::StartEdit()
{
    edit_->setText(path_);
    stack_->setCurrentWidget(edit_);
    edit_->setFocus(Qt::MouseFocusReason);
    edit_->selectAll();
}

bool CPathDlgBreadcrumb::IsEditing() const
{
    return stack_->currentWidget() == edit_;
}

void CPathDlgBreadcrumb::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        StartEdit();
}

void CPathDlgBreadcrumb::FinishEdit(bool commit, bool byEnter)
{
    if (!IsEditing())
        return;
    const QString text = edit_->text();
    stack_->setCurrentWidget(crumbs_);
    if (commit)
        emit editFinished(text, byEnter);
}

bool CPathDlgBreadcrumb::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                FinishEdit(true, true);
                return true;
            }
            if (key->key() == Qt::Key_Escape && IsEditing()) {
                FinishEdit(false, false);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            FinishEdit(true, false);
        }
    }
    return QWidget::eventFilter(watched, event);
}
