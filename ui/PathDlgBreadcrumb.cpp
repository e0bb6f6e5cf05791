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
    while (QLayoutItem* item = crumbLayout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
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
    }
    crumbLayout_->addStretch(1);
    if (!IsEditing())
        edit_->setText(path);
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
