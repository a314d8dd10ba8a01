#include "app/AlertBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>
#include <algorithm>

AlertBox::AlertBox(AppModel& model, QWidget* window) : QObject(window), m_model(model), m_window(window) {}

QMessageBox* AlertBox::makeBox(const QString& title)
{
    auto* box = new QMessageBox(m_window);
    box->setWindowModality(Qt::ApplicationModal);
    box->setTextFormat(Qt::PlainText);
    box->setWindowTitle(title);
    return box;
}

void AlertBox::widen(QMessageBox* box)
{
    box->ensurePolished();
    auto* text = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
    auto* grid = qobject_cast<QGridLayout*>(box->layout());
    if (!text || !grid)
        return;
    const QFontMetrics metrics(text->font());
    int longest = 0;
    for (const QString& paragraph : text->text().split(QLatin1Char('\n')))
        longest = std::max(longest, metrics.horizontalAdvance(paragraph));
    // About two-fifths of the longest paragraph (with room for the ragged right edge),
    // within a comfortable line length; a short text keeps its one line.
    const int line = std::clamp(longest * 2 / 5, 32 * metrics.averageCharWidth(), 60 * metrics.averageCharWidth());
    const int room = box->screen() ? box->screen()->availableGeometry().width() * 2 / 3 : line;
    text->setMinimumWidth(std::min({longest, line, room}));

    // Window managers draw the title bold, between the window's buttons.
    QFont bold = box->font();
    bold.setBold(true);
    const QFontMetrics titleMetrics(bold);
    const int titleBar = titleMetrics.horizontalAdvance(box->windowTitle()) + 6 * titleMetrics.height();
    const QMargins margins = grid->contentsMargins();
    // QMessageBox sets its size from its layout's minimum width: a spacer under
    // everything holds that at the title bar's width.
    grid->addItem(new QSpacerItem(std::min(titleBar, room) - margins.left() - margins.right(), 0, QSizePolicy::Fixed,
                                  QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

void AlertBox::present(QMessageBox* box)
{
    // The informative line has a label of its own, without the box's text format.
    for (QLabel* text : box->findChildren<QLabel*>())
        text->setTextFormat(Qt::PlainText);
    m_box = box;
    box->show();
}

void AlertBox::dismiss()
{
    if (!m_box)
        return;
    QMessageBox* old = m_box;
    m_box = nullptr;
    old->disconnect(this);
    old->hide();
    old->deleteLater();
}
