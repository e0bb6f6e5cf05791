#pragma once
// A drop-down of the main frame whose items are drawn flat by CMenuStyle: every text item is
// converted once into a record (its text cut to the record's length, its picture, its accelerator
// column), and items added or renamed later are converted when the drop-down opens.

#include "app/MenuItemData.h"

#include <QMenu>

#include <unordered_map>

class CMenuImages;
class QFontMetrics;

// The height of a menu line in a font.
int MenuLineHeight(const QFontMetrics& metrics);

class COwnerDrawMenu final : public QMenu {
    Q_OBJECT
public:
    // images must outlive the menu.
    COwnerDrawMenu(const QString& title, const CMenuImages& images, QWidget* parent = nullptr);

    // Converts every text item and puts the accelerator column kAcceleratorGap right of the
    // widest label; done once when the frame's menus are built.
    void ConvertAll();
    // The record of an item; null for separators and items not converted yet.
    const MenuItemData* Record(const QAction* action) const;

    // The width Qt's own layout adds for the texts after a tab; the records already hold it.
    int AddedAcceleratorWidth() const;

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
    void actionEvent(QActionEvent* event) override;

private:
    struct Entry {
        QString source;  // the action's text when it was converted
        MenuItemData data;
    };

    // Converts items without a record or renamed since, last to first; false when none was.
    bool ConvertNew(int& column);
    MenuItemData Convert(const QAction* action) const;
    void Align(int column);

    const CMenuImages& images_;
    std::unordered_map<const QAction*, Entry> records_;
};
