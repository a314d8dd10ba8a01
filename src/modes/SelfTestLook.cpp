#include "modes/SelfTestLook.h"

#include "kit/OVColors.h"
#include "kit/OVThemes.h"
#include "kit/QNMRHelp.h"
#include "kit/QNMRThemes.h"
#include "kit/QNZoom.h"
#include "records/OVInfo.h"
#include "records/OVPrefs.h"

#include <QStringList>
#include <algorithm>
#include <QUrl>
#include <cmath>

namespace OVSelfTest {
namespace {

// What the maker's link must be; OVInfo and the kit both point here.
const QString kMakerAddress = QStringLiteral("https://quenmoor.example/");

QString percentText(double factor)
{
    const double percent = factor * 100.0;
    if (!std::isfinite(percent) || std::fabs(percent) > 1e15)
        return QStringLiteral("?");
    return QString::number(static_cast<long long>(percent)); // fractions dropped
}

bool readable(const QNMRTheme& t)
{
    using RGB = QNMRTheme::RGB;
    return RGB::contrast(t.text, t.bg) >= 7.0 && RGB::contrast(t.text, t.panelTop) >= 4.5 &&
           RGB::contrast(t.dim, t.panelBottom) >= 4.5 &&
           RGB::contrast(RGB(1.0, 1.0, 1.0), t.accent) >= 4.5;
}

QString productText(const QList<QNMRHelpTopic>& topics)
{
    QString text;
    for (const QNMRHelpTopic& t : topics)
        text += t.title + t.body;
    text += OVInfo::appName + OVInfo::creditLine + OVInfo::manualOnlyNote;
    for (const Screen s : Screen::allCases())
        text += s.title();
    return text;
}

} // namespace

bool everyScreenHasTopic(const QList<Screen>& screens, const QList<QNMRHelpTopic>& topics)
{
    for (const Screen s : screens) {
        const QString wanted = QStringLiteral("screen-") + s.rawValue();
        const bool found = std::any_of(topics.cbegin(), topics.cend(),
                                       [&](const QNMRHelpTopic& t) { return t.id == wanted; });
        if (!found)
            return false;
    }
    return true;
}

bool makerNamedInFull(const QString& text)
{
    QString rest = text;
    rest.remove(QStringLiteral("Quenmoor Softworks"));
    return !rest.contains(QStringLiteral("Quenmoor"));
}

void lookAndHelpTests(OVTestRun& run)
{
    run.begin(QStringLiteral("Look: themes and zoom; Help; QNMR wording"));

    // Theme catalogue.
    const QList<QNMRTheme> themes = QNMRThemes::all();
    QStringList names;
    for (const QNMRTheme& t : themes)
        names.append(t.name);
    run.check(QNMRThemes::builtIn().size() == 6 && themes.size() == 8,
              QStringLiteral("QNMR Kit's 6 themes plus 2 redwood themes: ") +
                  names.join(QStringLiteral(", ")));

    run.check(QNMRThemes::defaultID() == OVThemes::groveID,
              QStringLiteral("Redwood Grove is the default look"));

    for (const QNMRTheme& t : OVThemes::extras())
        run.check(readable(t),
                  t.name + QStringLiteral(": text, secondary text and button text are easy to read"));

    for (const QNMRTheme& t : themes) {
        QNMRThemes::setCurrentID(t.id);
        bool ok = QNMRThemes::current().id == t.id;
        if (ok)
            ok = OVColors().t.id == t.id;
        run.check(ok, QStringLiteral("theme switch: ") + t.name);
    }

    // Zoom limits.
    QNZoom::setValue(3.0);
    const double high = QNZoom::value();
    QNZoom::setValue(0.5);
    const double low = QNZoom::value();
    QNZoom::setValue(1.3);
    const double normal = QNZoom::value();
    run.check(normal == 1.3 && high == 2.0 && low == 0.85,
              QStringLiteral("interface zoom limited to 85%–200% (asked 300% → ") +
                  percentText(high) + QStringLiteral("%, 50% → ") + percentText(low) +
                  QStringLiteral("%)"));
    OVPrefs::remove(QNZoom::key);

    // Help.
    const QList<QNMRHelpTopic> topics = QNMRHelp::allTopics();
    run.check(topics.size() >= 30, QStringLiteral("a large built-in Help: ") +
                                       QString::number(topics.size()) + QStringLiteral(" topics"));

    run.check(everyScreenHasTopic(Screen::allCases(), topics),
              QStringLiteral("every screen (") + QString::number(Screen::allCases().size()) +
                  QStringLiteral(") has its own Help topic"));

    run.check(!topics.isEmpty() && topics.first().id == QStringLiteral("start") &&
                  topics.first().body.contains(QStringLiteral("Step 10")),
              QStringLiteral("Help starts with a start-to-finish guide (10 steps)"));

    const auto countPrefix = [&](const QString& prefix) {
        return std::count_if(topics.cbegin(), topics.cend(),
                             [&](const QNMRHelpTopic& t) { return t.id.startsWith(prefix); });
    };
    bool guides = countPrefix(QStringLiteral("walk-")) >= 3;
    if (guides)
        guides = countPrefix(QStringLiteral("trouble-")) >= 3;
    run.check(guides, QStringLiteral("walkthroughs and troubleshooting topics"));

    for (const QString& query : {QStringLiteral("csv"), QStringLiteral("backup"),
                                 QStringLiteral("notification"), QStringLiteral("daylight saving"),
                                 QStringLiteral("sensor"), QStringLiteral("extension")})
        run.check(!QNMRHelp::search(query).isEmpty(),
                  QStringLiteral("Help search finds “") + query + QStringLiteral("”"));

    const bool manualOnly =
        std::any_of(topics.cbegin(), topics.cend(), [](const QNMRHelpTopic& t) {
            return t.body.contains(QStringLiteral("Manual entry / CSV import"));
        });
    run.check(manualOnly, QStringLiteral("Help states climate features are manual entry / CSV import"));

    // Product and maker wording.
    run.check(makerNamedInFull(productText(topics)),
              QStringLiteral("no bare “Quenmoor” anywhere in names, Help or About"));

    bool named = OVInfo::appName.startsWith(QStringLiteral("QNMR "));
    if (named)
        named = OVInfo::creditLine == QStringLiteral("by Quenmoor Softworks (QNMR)");
    if (named)
        named = OVInfo::website.toString() == kMakerAddress;
    run.check(named, QStringLiteral("name shows QNMR; credit and link to ") + QUrl(kMakerAddress).host());
}

} // namespace OVSelfTest
