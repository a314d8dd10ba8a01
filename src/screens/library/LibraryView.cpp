#include "screens/library/LibraryView.h"

#include "kit/KitMetrics.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVEmpty.h"
#include "kit/OVLabel.h"
#include "kit/OVPage.h"
#include "kit/OVRebuilder.h"
#include "kit/QNSearchField.h"
#include "screens/library/CropDetail.h"
#include "services/AppModel.h"
#include "services/ReferenceLibrary.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// One crop of the list: the name on a rounded accent fill when selected; the whole
// row takes clicks.
class CropRow : public QPushButton {
public:
    CropRow(const RefCrop& crop, bool selected, QWidget* parent = nullptr) : QPushButton(parent), m_selected(selected)
    {
        setCursor(Qt::PointingHandCursor);
        setFlat(true);
        setAccessibleName(crop.name);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(KitMetrics::px(10), KitMetrics::px(6), KitMetrics::px(10), KitMetrics::px(6));
        auto* name = new OVLabel(crop.name, 13, selected ? QFont::Bold : QFont::Medium,
                                 selected ? QColor(Qt::white) : OVColors().text());
        name->setAttribute(Qt::WA_TransparentForMouseEvents);
        name->setForegroundRole(QPalette::WindowText); // not the button's ButtonText
        row->addWidget(name);
        row->addStretch(1);
    }

    QSize sizeHint() const override { return layout()->sizeHint(); }
    QSize minimumSizeHint() const override { return layout()->minimumSize(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!m_selected)
            return;
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor fill = OVColors().accent();
        fill.setAlphaF(0.85f);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(rect(), KitMetrics::pxF(9), KitMetrics::pxF(9));
    }

private:
    bool m_selected;
};

} // namespace

LibraryView::LibraryView(QWidget* parent) : LibraryView(AppModel::shared(), ReferenceLibrary::shared(), parent) {}

LibraryView::LibraryView(AppModel& model, const ReferenceLibrary& library, QWidget* parent)
    : QWidget(parent), m_model(model), m_lib(library)
{
    m_page = OVPage::fill(this, Screen::library,
                          QString::number(m_lib.crops().size())
                              + QStringLiteral(" common greenhouse and garden crops. Every number comes from a "
                                               "university extension source, shown with its link and the date it "
                                               "was checked."));

    auto* row = new QHBoxLayout;
    row->setSpacing(KitMetrics::px(16));
    auto* list = new OVCard(QString(), QString(), 10);
    list->setFixedWidth(KitMetrics::px(250));
    m_search = new QNSearchField(QStringLiteral("Search crops"));
    list->body()->addWidget(m_search);
    m_rowsWidget = new QWidget;
    m_rows = new QVBoxLayout(m_rowsWidget);
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(KitMetrics::px(2));
    list->body()->addWidget(m_rowsWidget);
    row->addWidget(list, 0, Qt::AlignTop);
    m_detailHolder = new QVBoxLayout;
    m_detailHolder->setContentsMargins(0, 0, 0, 0);
    row->addLayout(m_detailHolder, 1);
    m_page->content()->addLayout(row);

    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
    connect(m_search, &QNSearchField::textChanged, m_rebuilder, &OVRebuilder::schedule);
    connect(&m_model, &AppModel::libraryCropChanged, m_rebuilder, &OVRebuilder::schedule);
    m_rebuilder->rebuildNow();
}

std::optional<RefCrop> LibraryView::shownCrop() const
{
    if (auto chosen = m_lib.crop(m_model.libraryCropID().value_or(QString())))
        return chosen;
    const QList<RefCrop> results = m_lib.search(m_search->text());
    if (!results.isEmpty())
        return results.first();
    return std::nullopt;
}

void LibraryView::rebuild()
{
    const std::optional<RefCrop> shown = shownCrop();

    while (QLayoutItem* item = m_rows->takeAt(0)) {
        if (QWidget* w = item->widget()) {
            w->hide();
            w->deleteLater();
        }
        delete item;
    }
    for (const RefCrop& crop : m_lib.search(m_search->text())) {
        auto* button = new CropRow(crop, shown && shown->id == crop.id);
        const QString id = crop.id;
        connect(button, &QPushButton::clicked, this, [this, id] { m_model.setLibraryCropID(id); });
        m_rows->addWidget(button);
    }

    if (m_detail) {
        m_detail->hide();
        m_detail->deleteLater();
    }
    if (shown) {
        m_detail = new CropDetail(*shown, AppModel::shared(), m_lib);
    } else {
        auto* card = new OVCard;
        card->body()->addWidget(new OVEmpty(QStringLiteral("magnifyingglass"), QStringLiteral("No match"),
                                            QStringLiteral("Try another name.")));
        m_detail = card;
    }
    m_detailHolder->addWidget(m_detail, 0, Qt::AlignTop);
}
