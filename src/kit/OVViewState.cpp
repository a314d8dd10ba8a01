#include "kit/OVViewState.h"

#include "kit/SegmentedPicker.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace {

constexpr const char* keptProperty = "ov.keptProperty";
constexpr const char* leftScroll = "ov.leftScroll";

enum class Kind { none, text, choice, segment, check, day, property };

Kind kindOf(const QWidget* w)
{
    if (w->property(keptProperty).isValid())
        return Kind::property;
    if (auto* edit = qobject_cast<const QLineEdit*>(w)) {
        // A combo box's or spin box's own line edit belongs to that control.
        const QWidget* parent = w->parentWidget();
        if (edit->isReadOnly() || qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent))
            return Kind::none;
        return Kind::text;
    }
    if (qobject_cast<const QComboBox*>(w))
        return Kind::choice;
    if (qobject_cast<const SegmentedPicker*>(w))
        return Kind::segment;
    if (qobject_cast<const QDateEdit*>(w))
        return Kind::day;
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        // Push buttons act; check boxes and chips hold a choice.
        return button->isCheckable() && !qobject_cast<const QPushButton*>(w) ? Kind::check : Kind::none;
    return Kind::none;
}

QString label(const QWidget* w, Kind kind)
{
    switch (kind) {
    case Kind::text:
        return static_cast<const QLineEdit*>(w)->placeholderText();
    case Kind::check:
        return static_cast<const QAbstractButton*>(w)->text();
    case Kind::property:
        return w->property(keptProperty).toString();
    default:
        return w->accessibleName();
    }
}

QVariant valueOf(const QWidget* w, Kind kind)
{
    switch (kind) {
    case Kind::text:
        return static_cast<const QLineEdit*>(w)->text();
    case Kind::choice:
        return static_cast<const QComboBox*>(w)->currentText();
    case Kind::segment:
        return static_cast<const SegmentedPicker*>(w)->currentIndex();
    case Kind::check:
        return static_cast<const QAbstractButton*>(w)->isChecked();
    case Kind::day:
        return static_cast<const QDateEdit*>(w)->date();
    case Kind::property:
        return w->property(w->property(keptProperty).toByteArray().constData());
    case Kind::none:
        break;
    }
    return {};
}

void setValue(QWidget* w, Kind kind, const QVariant& v)
{
    if (valueOf(w, kind) == v)
        return;
    switch (kind) {
    case Kind::text:
        static_cast<QLineEdit*>(w)->setText(v.toString());
        break;
    case Kind::choice: {
        auto* box = static_cast<QComboBox*>(w);
        const int index = box->findText(v.toString());
        if (index >= 0) {
            box->setCurrentIndex(index);
            emit box->activated(index);
        }
        break;
    }
    case Kind::segment: {
        auto* picker = static_cast<SegmentedPicker*>(w);
        const int index = v.toInt();
        if (index >= 0 && index < picker->count()) {
            picker->setCurrentIndex(index);
            emit picker->activated(index);
        }
        break;
    }
    case Kind::check:
        static_cast<QAbstractButton*>(w)->click();
        break;
    case Kind::day:
        static_cast<QDateEdit*>(w)->setDate(v.toDate());
        break;
    case Kind::property:
        w->setProperty(w->property(keptProperty).toByteArray().constData(), v);
        break;
    case Kind::none:
        break;
    }
}

// Every widget below root with its key, in the order the content was built.
template <typename Visit>
void walk(const QWidget* root, Visit visit)
{
    QHash<QString, int> seen;
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all.prepend(const_cast<QWidget*>(root));
    for (QWidget* w : all) {
        const Kind kind = kindOf(w);
        QString key;
        if (kind != Kind::none) {
            key = QString::fromLatin1(w->metaObject()->className()) + QLatin1Char('|') + label(w, kind);
            key += QLatin1Char('|') + QString::number(seen[key]++);
        }
        visit(w, kind, key);
    }
}

// The key of any widget: its class and its place among the widgets of that class.
QString plainKey(const QWidget* root, const QWidget* target)
{
    int n = 0;
    const QByteArray cls = target->metaObject()->className();
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        if (w == target)
            return QString::fromLatin1(cls) + QLatin1Char('#') + QString::number(n);
        if (cls == w->metaObject()->className())
            ++n;
    }
    return {};
}

QWidget* findPlain(const QWidget* root, const QString& key)
{
    const qsizetype hash = key.lastIndexOf(QLatin1Char('#'));
    if (hash < 0)
        return nullptr;
    const QByteArray cls = key.left(hash).toLatin1();
    int n = key.mid(hash + 1).toInt();
    for (QWidget* w : root->findChildren<QWidget*>())
        if (cls == w->metaObject()->className() && n-- == 0)
            return w;
    return nullptr;
}

QList<QAbstractScrollArea*> scrollAreas(const QWidget* root)
{
    QList<QAbstractScrollArea*> out;
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all.prepend(const_cast<QWidget*>(root));
    for (QWidget* w : all)
        if (auto* area = qobject_cast<QAbstractScrollArea*>(w); area && !area->property(leftScroll).toBool())
            out.append(area);
    return out;
}

// Sets the kept positions; false while a range is still too short for its value.
bool scrollTo(const QWidget* root, const QList<std::pair<QString, QPointF>>& scrolls, double zoom)
{
    bool reached = true;
    const QList<QAbstractScrollArea*> areas = scrollAreas(root);
    for (const auto& [key, points] : scrolls) {
        const int index = key.toInt();
        if (index >= areas.size())
            continue;
        QScrollBar* bars[] = {areas[index]->horizontalScrollBar(), areas[index]->verticalScrollBar()};
        const int wanted[] = {qRound(points.x() * zoom), qRound(points.y() * zoom)};
        for (int i = 0; i < 2; ++i) {
            if (wanted[i] > bars[i]->maximum())
                reached = false;
            bars[i]->setValue(wanted[i]);
        }
    }
    return reached;
}

} // namespace

OVViewState OVViewState::capture(const QWidget* root, double zoom)
{
    OVViewState state;
    if (!root)
        return state;
    walk(root, [&](QWidget* w, Kind kind, const QString& key) {
        if (kind != Kind::none)
            state.m_values.append({key, valueOf(w, kind)});
    });
    const QList<QAbstractScrollArea*> areas = scrollAreas(root);
    for (int i = 0; i < areas.size(); ++i) {
        const QPoint at(areas[i]->horizontalScrollBar()->value(), areas[i]->verticalScrollBar()->value());
        if (!at.isNull())
            state.m_scrolls.append({QString::number(i), QPointF(at) / zoom});
    }
    if (QWidget* focus = QApplication::focusWidget(); focus && root->isAncestorOf(focus))
        state.m_focus = plainKey(root, focus);
    return state;
}

void OVViewState::apply(QWidget* root, double zoom) const
{
    if (!root || isEmpty())
        return;
    // Looked up before any value is set: a reaction may change what the content holds.
    QList<std::tuple<QPointer<QWidget>, Kind, QVariant>> targets;
    walk(root, [&](QWidget* w, Kind kind, const QString& key) {
        if (kind == Kind::none)
            return;
        for (const auto& [k, v] : m_values)
            if (k == key)
                targets.append({w, kind, v});
    });
    for (const auto& [w, kind, v] : targets)
        if (w)
            setValue(w, kind, v);

    if (!m_focus.isEmpty())
        if (QWidget* w = findPlain(root, m_focus); w && w->focusPolicy() != Qt::NoFocus)
            w->setFocus(Qt::OtherFocusReason);

    if (m_scrolls.isEmpty())
        return;
    // After the reactions above (rebuilds queued for this turn) and the layouts they
    // post; once more a little later if a page was still too short.
    QPointer<QWidget> guard(root);
    const auto scrolls = m_scrolls;
    QTimer::singleShot(0, root, [guard, scrolls, zoom] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        if (!scrollTo(guard, scrolls, zoom))
            QTimer::singleShot(100, guard, [guard, scrolls, zoom] {
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
                scrollTo(guard, scrolls, zoom);
            });
    });
}

void OVViewState::keep(QWidget* widget, const char* property)
{
    widget->setProperty(keptProperty, QByteArray(property));
}

void OVViewState::leaveScroll(QAbstractScrollArea* area)
{
    area->setProperty(leftScroll, true);
}

QVariant OVViewState::value(const QString& key) const
{
    for (const auto& [k, v] : m_values)
        if (k == key)
            return v;
    return {};
}

QStringList OVViewState::keys() const
{
    QStringList out;
    for (const auto& [k, v] : m_values)
        out.append(k);
    return out;
}
