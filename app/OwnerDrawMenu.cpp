#include "app/OwnerDrawMenu.h"

#include "app/MenuImages.h"
#include "support/Cp1252.h"

#include <QActionEvent>
#include <QStyleOptionMenuItem>

#include <algorithm>
#include <vector>

namespace {

QString FromCp1252(std::string_view text)
{
    return QString::fromStdU16String(Cp1252ToUtf16(text));
}

}  // namespace

// The height of a menu line: the font's with a little air, as the platform's menu bars have.
int MenuLineHeight(const QFontMetrics& metrics)
{
    return metrics.height() + 6;
}

COwnerDrawMenu::COwnerDrawMenu(const QString& title, const CMenuImages& images, QWidget* parent)
    : QMenu(title, parent)
    , images_(images)
{
    connect(this, &QMenu::aboutToShow, this, [this] {
        int column = 0;
        if (ConvertNew(column))
            Align(column);
    });
}

MenuItemData COwnerDrawMenu::Convert(const QAction* action) const
{
    const QFontMetrics metrics(font());
    const TextWidth width = [&metrics](std::string_view text) {
        return metrics.size(Qt::TextSingleLine | Qt::TextShowMnemonic, FromCp1252(text)).width();
    };
    const QSize image = images_.ImageSize();
    return ConvertMenuText(Utf16ToCp1252(action->text().toStdU16String()), action->data().toUInt(), images_.Table(),
                           image.width(), image.height(), MenuLineHeight(metrics), width);
}

void COwnerDrawMenu::ConvertAll()
{
    int widest = 0;
    records_.clear();
    for (const QAction* action : actions()) {
        if (action->isSeparator())
            continue;
        Entry entry{action->text(), Convert(action)};
        widest = std::max<int>(widest, entry.data.acceleratorX);
        records_.insert_or_assign(action, std::move(entry));
    }
    Align(widest + kAcceleratorGap);
}

bool COwnerDrawMenu::ConvertNew(int& column)
{
    bool converted = false;
    const QList<QAction*> items = actions();
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        const QAction* action = *it;
        if (action->isSeparator())
            continue;
        const auto found = records_.find(action);
        if (found != records_.end() && found->second.source == action->text()) {
            column = std::max<int>(column, found->second.data.acceleratorX);
            continue;
        }
        Entry entry{action->text(), Convert(action)};
        // A label wider than the column moves it out, with the gap the drop-down was built with.
        column = std::max<int>(column, entry.data.acceleratorX + kAcceleratorGap);
        records_.insert_or_assign(action, std::move(entry));
        converted = true;
    }
    return converted;
}

void COwnerDrawMenu::Align(int column)
{
    std::vector<MenuItemData*> items;
    for (auto& [action, entry] : records_)
        items.push_back(&entry.data);
    AlignAcceleratorColumn(items, column);
    update();
}

const MenuItemData* COwnerDrawMenu::Record(const QAction* action) const
{
    const auto found = records_.find(action);
    return found == records_.end() ? nullptr : &found->second.data;
}

int COwnerDrawMenu::AddedAcceleratorWidth() const
{
    int widest = 0;
    for (const QAction* action : actions()) {
        const QString text = action->text();
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        if (tab >= 0)
            widest = std::max(widest, fontMetrics().horizontalAdvance(text.mid(tab + 1)));
    }
    return widest;
}

void COwnerDrawMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const
{
    QMenu::initStyleOption(option, action);
    const MenuItemData* record = Record(action);
    if (record == nullptr)
        return;
    option->text = FromCp1252(record->text);
    option->icon = images_.Icon(record->imageIndex);
    option->reservedShortcutWidth = record->acceleratorX;
    option->maxIconWidth = images_.ImageSize().width();
}

void COwnerDrawMenu::actionEvent(QActionEvent* event)
{
    if (event->type() == QEvent::ActionRemoved)
        records_.erase(event->action());
    QMenu::actionEvent(event);
}
