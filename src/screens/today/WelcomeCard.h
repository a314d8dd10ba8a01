#pragma once
// The first-run card at the top of the Today screen, shown while the store holds no
// greenhouse: five numbered steps from an empty store to reports, and three ways in
// (the first greenhouse, the sample greenhouse, the start guide). It has no close
// button and keeps no state: the Today screen stops building it once a greenhouse
// exists, however that greenhouse was made.

#include "kit/OVCard.h"

#include <QStringList>

class AppModel;
class QNChromeButton;

class WelcomeCard : public OVCard {
    Q_OBJECT
public:
    explicit WelcomeCard(QWidget* parent = nullptr);
    explicit WelcomeCard(AppModel& model, QWidget* parent = nullptr);

    // The five steps, in order.
    static QStringList steps();

    QNChromeButton* addButton() const { return m_add; }
    QNChromeButton* sampleButton() const { return m_sample; }
    QNChromeButton* guideButton() const { return m_guide; }

private:
    AppModel& m_model;
    QNChromeButton* m_add = nullptr;
    QNChromeButton* m_sample = nullptr;
    QNChromeButton* m_guide = nullptr;
};
