#pragma once
// The navigation column at the left of the main window, 236 points wide: badge and
// name, every screen in its captioned group (the captionless last group behind a
// faint line), and the maker's credit at the foot. It keeps no state: the selection
// follows AppModel::screen on every change, and a click sets that screen.

#include <QList>
#include <QWidget>

class AppModel;
class RailButton;

class SideRail : public QWidget {
    Q_OBJECT
public:
    static constexpr double railWidth = 236;

    explicit SideRail(AppModel& model, QWidget* parent = nullptr);
    explicit SideRail(QWidget* parent = nullptr);

    const QList<RailButton*>& buttons() const { return m_buttons; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void select();

    AppModel& m_model;
    QList<RailButton*> m_buttons;
};
