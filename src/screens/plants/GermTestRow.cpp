#include "screens/plants/GermTestRow.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/QNChromeButton.h"
#include "records/OVFormat.h"
#include "screens/plants/SeedsView.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

GermTestRow::GermTestRow(const GermTest& test, SeedsView* view, QWidget* parent)
    : OVRowBox(false, parent), m_test(test)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(KitMetrics::px(8));
    body()->addLayout(row);
    row->addWidget(new OVLabel(test.started.display(), 12.5, QFont::DemiBold), 0, Qt::AlignVCenter);
    auto* counts = new OVLabel(countText(test), 12.5);
    counts->setObjectName(QStringLiteral("germCounts"));
    row->addWidget(counts, 0, Qt::AlignVCenter);
    auto* rate = new OVLabel(rateText(test), 12.5, QFont::Bold);
    rate->setObjectName(QStringLiteral("germRate"));
    row->addWidget(rate, 0, Qt::AlignVCenter);
    if (!test.notes.isEmpty()) {
        // One line: further lines are joined, and what does not fit is cut off.
        QString oneLine = test.notes;
        oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
        auto* notes = new OVLabel(oneLine, 11.5, QFont::Normal, OVColors().dim());
        notes->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        notes->setMinimumWidth(KitMetrics::px(40));
        row->addWidget(notes, 1, Qt::AlignVCenter);
    } else {
        row->addStretch(1);
    }
    auto* edit = new QNChromeButton(QStringLiteral("Edit"), false, true);
    auto* remove = new QNChromeButton(QStringLiteral("Delete"), false, true);
    row->addWidget(edit, 0, Qt::AlignVCenter);
    row->addWidget(remove, 0, Qt::AlignVCenter);
    const GermTest copy = test;
    connect(edit, &QPushButton::clicked, view, [view, copy] { view->editTest(copy); });
    connect(remove, &QPushButton::clicked, view, [view, copy] { view->deleteTest(copy); });
}

QString GermTestRow::countText(const GermTest& test)
{
    QString text = QStringLiteral("%1 of %2 sprouted").arg(test.sprouted).arg(test.sown);
    if (test.days)
        text += QStringLiteral(" in %1 days").arg(*test.days);
    return text;
}

QString GermTestRow::rateText(const GermTest& test) { return QStringLiteral("= ") + OVFormat::fixed(test.rate(), 0) + QLatin1Char('%'); }
