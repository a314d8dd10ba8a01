#pragma once
// What the grower set on a piece of interface that is about to be thrown away and made
// anew (a theme or zoom change): texts typed into search fields, the choice of pop-up
// menus, segmented pickers, check boxes and chips, picked days, scroll positions, the
// control that has keyboard focus, and any property a widget asks to keep (keep()).
// The theme roots and the zoom host take one before a rebuild and apply it to the new
// content, so a rebuilt screen reads back what the old one showed.
//
// Controls are matched by kind, their label or placeholder and their place among the
// controls of that kind, so content built in the same order finds its own controls
// again. Applying a value goes through the control's usual signal (textChanged,
// activated, clicked, dateChanged), so the screen reacts as if the user had set it; a
// control that already shows the value is left alone. Scroll positions are kept in
// points, so they follow a zoom change, and are set once the new layout has settled.

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QVariant>

class QAbstractScrollArea;
class QWidget;

class OVViewState {
public:
    static OVViewState capture(const QWidget* root, double zoom = 1.0);
    void apply(QWidget* root, double zoom = 1.0) const;

    // Marks `widget`'s Q_PROPERTY `property` (readable and writable) to be kept; its
    // setter should act as the user's choice would.
    static void keep(QWidget* widget, const char* property);
    // Leaves `area`'s scroll position out: its owner keeps its place itself, through a
    // kept property, where a position in points would not find the same content again
    // (a list made over several turns).
    static void leaveScroll(QAbstractScrollArea* area);

    bool isEmpty() const { return m_values.isEmpty() && m_scrolls.isEmpty() && m_focus.isEmpty(); }
    // The kept values by key (tests look at these).
    QVariant value(const QString& key) const;
    QStringList keys() const;

private:
    QList<std::pair<QString, QVariant>> m_values;
    QList<std::pair<QString, QPointF>> m_scrolls;
    QString m_focus;
};
