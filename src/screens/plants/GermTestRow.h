#pragma once
// One germination test on a seed packet's card: its start day, "17 of 20 sprouted in
// 6 days", "= 85%", the notes cut to one line, and its Edit and Delete buttons, which
// call the screen's actions with this test.

#include "kit/OVRowBox.h"
#include "records/GermTest.h"

class SeedsView;

class GermTestRow : public OVRowBox {
    Q_OBJECT
public:
    GermTestRow(const GermTest& test, SeedsView* view, QWidget* parent = nullptr);

    const GermTest& test() const { return m_test; }

    // "17 of 20 sprouted", with " in 6 days" when the days are known.
    static QString countText(const GermTest& test);
    // "= 85%".
    static QString rateText(const GermTest& test);

private:
    GermTest m_test;
};
