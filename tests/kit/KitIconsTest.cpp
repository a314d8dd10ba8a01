// The icon table must cover every symbol name the program draws: the names of the
// screens, metrics and task kinds, and every literal name handed to the kit's
// symbol-taking calls anywhere in the sources.

#include "kit/KitIcons.h"
#include "records/Metric.h"
#include "records/TaskKind.h"
#include "services/Screen.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QString sourceRoot() { return QDir(QStringLiteral(ORVANE_SOURCE_DATA_DIR "/..")).absolutePath(); }

// Literal symbol names the sources hand to the kit: arguments of the calls that take
// one (KitIcons::pixmap/icon/label, setSymbol, OVCard, OVEmpty, OVEditorFrame,
// OVHeader), what functions named after symbols return, and dotted names on lines
// that speak of a symbol.
QMap<QString, QString> namesInSources()
{
    static const QRegularExpression call(
        QStringLiteral(R"((KitIcons::(?:pixmap|icon|label)|setSymbol|OVCard|OVEmpty|OVEditorFrame|OVHeader)\s*[({]([^;{}]*))"));
    static const QRegularExpression symbolFunction(
        QStringLiteral(R"(\w*[sS]ymbol\w*\([^;{)]*\)\s*(?:const\s*)?(?:noexcept\s*)?\{([^{}]*(?:\{[^{}]*\}[^{}]*)*)\})"));
    static const QRegularExpression symbolLine(QStringLiteral(R"([^\n]*[sS]ymbol[^\n]*)"));
    static const QRegularExpression literal(QStringLiteral(R"re((?:QStringLiteral\(|u)?"([a-z][a-z0-9]*(?:\.[a-z0-9]+)*)")re"));
    QMap<QString, QString> found; // name -> first file using it
    auto collect = [&](const QString& text, const QString& path, bool dottedOnly) {
        for (auto l = literal.globalMatch(text); l.hasNext();) {
            const QString name = l.next().captured(1);
            if ((!dottedOnly || name.contains(QLatin1Char('.'))) && !found.contains(name))
                found.insert(name, QDir(sourceRoot()).relativeFilePath(path));
        }
    };
    QDirIterator it(sourceRoot() + QStringLiteral("/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (auto m = call.globalMatch(text); m.hasNext();)
            collect(m.next().captured(2), path, false);
        for (auto m = symbolFunction.globalMatch(text); m.hasNext();)
            collect(m.next().captured(1), path, false);
        for (auto m = symbolLine.globalMatch(text); m.hasNext();)
            collect(m.next().captured(0), path, true);
    }
    return found;
}

} // namespace

TEST(KitIcons, TableCoversEveryNameTheProgramDraws)
{
    QStringList missing;
    for (const Screen s : Screen::allCases())
        if (!KitIcons::knows(s.symbol()))
            missing << s.symbol() + QStringLiteral(" (screen)");
    for (const Metric m : Metric::allCases())
        if (!KitIcons::knows(m.symbol()))
            missing << m.symbol() + QStringLiteral(" (metric)");
    for (const TaskKind k : TaskKind::allCases())
        if (!KitIcons::knows(k.symbol()))
            missing << k.symbol() + QStringLiteral(" (task kind)");
    const QMap<QString, QString> used = namesInSources();
    EXPECT_TRUE(used.contains(QStringLiteral("magnifyingglass"))) << "the source scan found nothing";
    for (auto it = used.cbegin(); it != used.cend(); ++it)
        if (!KitIcons::knows(it.key()))
            missing << it.key() + QStringLiteral(" (") + it.value() + QStringLiteral(")");
    EXPECT_TRUE(missing.isEmpty()) << "unmapped symbol names: " << missing.join(QStringLiteral(", ")).toStdString();
}

TEST(KitIcons, EveryTableIconIsShippedWithTheLicence)
{
    const QString folder = sourceRoot() + QStringLiteral("/src/kit/icons");
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/LICENSE")));
    ASSERT_GT(KitIcons::symbols().size(), 60);
    for (const QString& symbol : KitIcons::symbols()) {
        const QString name = KitIcons::iconName(symbol);
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/kit/icons/%1.svg").arg(name))) << symbol.toStdString();
    }
}

TEST(KitIcons, TintsKnownIconsAndDrawsADotForUnknownNames)
{
    const QImage leaf = KitIcons::pixmap(QStringLiteral("leaf.fill"), QColor(255, 0, 0), 24, 1.0).toImage();
    const QImage dot = KitIcons::pixmap(QStringLiteral("no.such.symbol"), QColor(255, 0, 0), 24, 1.0).toImage();
    ASSERT_EQ(leaf.size(), QSize(24, 24));
    int leafInk = 0;
    int dotInk = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const QColor a = leaf.pixelColor(x, y);
            if (a.alpha() > 0) {
                ++leafInk;
                EXPECT_EQ(a.red(), 255);
                EXPECT_EQ(a.green(), 0);
            }
            if (dot.pixelColor(x, y).alpha() > 0)
                ++dotInk;
        }
    EXPECT_GT(leafInk, 100);
    // The neutral dot is a small disc in the middle.
    EXPECT_GT(dotInk, 20);
    EXPECT_LT(dotInk, 24 * 24 / 4);
    EXPECT_EQ(dot.pixelColor(12, 12).alpha(), 255);
    EXPECT_EQ(dot.pixelColor(1, 1).alpha(), 0);
}
