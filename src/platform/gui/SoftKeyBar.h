#pragma once

#include "resources/Menus.h"

#include <QWidget>

#include <functional>
#include <memory>

class QMenu;
class QPushButton;

/// The bar of two soft keys at the bottom of the main window and of every screen, built from
/// one of the menu tables. A plain key sends its command through commandTriggered; a key
/// with a popup opens that menu above the key, and the chosen entry sends its command.
/// Colours come from the palette the bar inherits.
class SoftKeyBar : public QWidget
{
    Q_OBJECT

public:
    enum class Side {
        Left,
        Right,
    };

    /// The bar of menu `menuId` as a child of `parent`; null when there is no such menu.
    static SoftKeyBar* Create(int menuId, QWidget* parent);

    ~SoftKeyBar() override;

    int MenuId() const
    {
        return m_table.id;
    }

    /// The key on `side`; null when the bar has no key there.
    QPushButton* Key(Side side) const;

    /// The command the key on `side` sends; 0 when there is no key.
    int Command(Side side) const;

    /// The command that closing a screen runs: the right key's, or the left key's when the
    /// bar has only that one; 0 when the key opens a popup or there is no key.
    int CloseCommand() const;

    /// Asked for every entry each time a popup opens; entries it refuses are greyed.
    void SetCommandEnabler(std::function<bool(int)> enabler);

    /// Presses the key on `side` as a click would.
    void Press(Side side);

    /// The popup of the key on `side`, made on first use; null when the key has none.
    QMenu* Popup(Side side);

    /// Opens the bar's menu from the keyboard (F10 or Alt): the right key's popup when it has
    /// one, otherwise a menu of the bar's own keys, its first entry highlighted.
    void OpenMenu();

    /// The menu of the bar's keys that OpenMenu shows on a bar without a popup; made on first
    /// use.
    QMenu* KeysMenu();

    /// Enables or greys the entries of `menu` and its submenus through the enabler.
    void UpdateMenuState(QMenu* menu) const;

    QSize sizeHint() const override;

signals:
    void commandTriggered(int command);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    SoftKeyBar(const MenuBarTable& table, QWidget* parent);

    QPushButton* MakeKey(const SoftKeyTable& key);
    void FillMenu(QMenu* menu, std::span<const MenuEntry> entries);
    const SoftKeyTable& Table(Side side) const;
    void ApplyKeyColours();
    void ShowAbove(QMenu* menu, Side side);

    MenuBarTable m_table;
    QPushButton* m_left = nullptr;
    QPushButton* m_right = nullptr;
    std::unique_ptr<QMenu> m_leftPopup;
    std::unique_ptr<QMenu> m_rightPopup;
    std::unique_ptr<QMenu> m_keysMenu;
    std::function<bool(int)> m_enabler;
};
