#include "kit/QNMRAboutWindow.h"

#include "kit/KitEvents.h"
#include "kit/KitMetrics.h"
#include "kit/KitRule.h"
#include "kit/OVLabel.h"
#include "kit/QNMRAbout.h"
#include "kit/QNMRKitHost.h"
#include "kit/QNMRThemeRoot.h"
#include "kit/QNUI.h"
#include "records/OVInfo.h"
#include "services/Opener.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace QNMRAboutWindow {
namespace {

QWidget*& windowStorage()
{
    static QWidget* w = nullptr;
    return w;
}

// The application's icon framed to 96 points, with a soft shadow 4 points down; an
// empty frame when the program has no icon.
QLabel* iconLabel()
{
    const int side = KitMetrics::px(96);
    QPixmap canvas(side, side);
    canvas.fill(Qt::transparent);
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull()) {
        const QPixmap pm = icon.pixmap(side, side);
        QImage shade(canvas.size(), QImage::Format_ARGB32_Premultiplied);
        shade.fill(Qt::transparent);
        {
            QPainter sp(&shade);
            const int blur = std::max(1, KitMetrics::px(8));
            const int stepSize = std::max(1, blur / 2);
            int copies = 0;
            for (int dx = -blur; dx <= blur; dx += stepSize)
                for (int dy = -blur; dy <= blur; dy += stepSize)
                    ++copies;
            sp.setOpacity(1.0 / copies);
            for (int dx = -blur; dx <= blur; dx += stepSize)
                for (int dy = -blur; dy <= blur; dy += stepSize)
                    sp.drawPixmap(dx, KitMetrics::px(4) + dy, pm);
            sp.setOpacity(1);
            sp.setCompositionMode(QPainter::CompositionMode_SourceIn);
            sp.fillRect(shade.rect(), Qt::black);
        }
        QPainter p(&canvas);
        p.setOpacity(0.5);
        p.drawImage(0, 0, shade);
        p.setOpacity(1);
        p.drawPixmap(0, 0, pm);
    }
    auto* label = new QLabel;
    label->setPixmap(canvas);
    label->setFixedSize(side, side);
    return label;
}

} // namespace

QWidget* makeView()
{
    const QNKitTheme t = QNUI::shared().theme();
    auto* view = new QWidget;
    view->setMinimumSize(KitMetrics::px(400), KitMetrics::px(340));
    auto* stack = new QVBoxLayout(view);
    const int pad = KitMetrics::px(26);
    stack->setContentsMargins(pad, pad, pad, pad);
    stack->setSpacing(KitMetrics::px(12));

    const auto centred = [&](QWidget* w) {
        // Texts take the full width and wrap, centred, when a line is too long.
        if (auto* label = qobject_cast<OVLabel*>(w)) {
            label->setWrapping(true);
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            stack->addWidget(label);
            return;
        }
        stack->addWidget(w, 0, Qt::AlignHCenter);
    };
    stack->addStretch(1);
    centred(iconLabel());
    centred(new OVLabel(QNMRKitHost::appName(), 24, QFont::ExtraBold, t.text));
    centred(new OVLabel(QNMRAbout::version(), 12, QFont::DemiBold, t.dim));
    for (const QString& line : QNMRAbout::extraLines())
        centred(new OVLabel(line, 12, QFont::Normal, t.dim));

    stack->addWidget(KitRule::make(t.dim, QMargins(KitMetrics::px(30), 0, KitMetrics::px(30), 0)));

    centred(new OVLabel(QNMRAbout::creditLine(), 13, QFont::Bold, t.text));

    const QUrl site = QNMRKitHost::creditURL();
    auto* link = new QPushButton(site.host());
    link->setObjectName(QStringLiteral("makerLink"));
    link->setFlat(true);
    link->setCursor(Qt::PointingHandCursor);
    link->setFont(KitMetrics::font(13, QFont::DemiBold));
    link->setToolTip(site.toString());
    QPalette linkPal = link->palette();
    linkPal.setColor(QPalette::ButtonText, t.accent.lighter(140));
    link->setPalette(linkPal);
    QObject::connect(link, &QPushButton::clicked, link, [site] { Opener::open(site); });
    centred(link);

    centred(new OVLabel(QNMRAbout::copyrightLine(), 10.5, QFont::Normal, t.dim));
    stack->addStretch(1);
    return view;
}

QWidget* window() { return windowStorage(); }

void show()
{
    QWidget*& w = windowStorage();
    if (!w) {
        w = new QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                     Qt::WindowCloseButtonHint);
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->setAttribute(Qt::WA_QuitOnClose, false);
        w->setObjectName(QStringLiteral("QNMRAboutWindow"));
        auto* layout = new QVBoxLayout(w);
        layout->setContentsMargins(0, 0, 0, 0);
        // The content follows a zoom change (its theme root rebuilds); so does the size.
        QObject::connect(&KitEvents::shared(), &KitEvents::zoomChanged, w, [w] {
            QTimer::singleShot(0, w, [w] { w->setFixedSize(KitMetrics::px(440), KitMetrics::px(380)); });
        });
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(0, 0), QSize(KitMetrics::px(440), KitMetrics::px(380)));
            frame.moveCenter(screen->availableGeometry().center());
            w->move(frame.topLeft());
        }
    }
    w->setFixedSize(KitMetrics::px(440), KitMetrics::px(380));
    w->setWindowTitle(QStringLiteral("About ") + QNMRKitHost::appName());

    QLayout* layout = w->layout();
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* old = item->widget()) {
            old->hide();
            old->deleteLater();
        }
        delete item;
    }
    layout->addWidget(new QNMRThemeRoot([] { return makeView(); }));

    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace QNMRAboutWindow
