#include "kit/QNMRHelp.h"

#include "kit/QNMRKitHost.h"

#include <algorithm>

namespace QNMRHelp {
namespace {

QList<QNMRHelpTopic>& topicStorage()
{
    static QList<QNMRHelpTopic> list;
    return list;
}

Opener& openerStorage()
{
    static Opener hook;
    return hook;
}

bool hasID(const QList<QNMRHelpTopic>& list, const QString& id)
{
    return std::any_of(list.cbegin(), list.cend(),
                       [&](const QNMRHelpTopic& t) { return t.id == id; });
}

QStringList queryWords(const QString& query)
{
    QStringList words;
    QString current;
    for (const QChar c : query.toLower()) {
        if (c.isSpace()) {
            if (!current.isEmpty())
                words.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        words.append(current);
    return words;
}

} // namespace

const QList<QNMRHelpTopic>& topics() { return topicStorage(); }

void setTopics(const QList<QNMRHelpTopic>& list) { topicStorage() = list; }

QList<QNMRHelpTopic> allTopics()
{
    QList<QNMRHelpTopic> list = topicStorage();
    if (!hasID(list, QStringLiteral("look")))
        list.append(lookTopic());
    if (!hasID(list, QStringLiteral("about")))
        list.append(aboutTopic());
    return list;
}

QNMRHelpTopic lookTopic()
{
    return QNMRHelpTopic{
        QStringLiteral("look"),
        QStringLiteral("Themes and interface zoom"),
        QStringLiteral("## Themes\n"
                       "Choose a color theme from the Theme menu: Cobalt Gunmetal, Candy Red "
                       "Titanium, Rose Gold, Lavender Pearl, Midnight Black or Brushed Gray. "
                       "Some apps add more.\n"
                       "\n"
                       "## Interface zoom\n"
                       "Make everything bigger or smaller, from 85% to 200%:\n"
                       "• View → Zoom In (Ctrl++) and Zoom Out (Ctrl+-)\n"
                       "• View → Actual Size (Ctrl+0)\n"
                       "• View → Zoom Level to pick an exact size."),
        {QStringLiteral("color"), QStringLiteral("colour"), QStringLiteral("theme"),
         QStringLiteral("zoom"), QStringLiteral("bigger"), QStringLiteral("smaller"),
         QStringLiteral("text size"), QStringLiteral("font size"), QStringLiteral("dark")}};
}

QNMRHelpTopic aboutTopic()
{
    return QNMRHelpTopic{
        QStringLiteral("about"),
        QStringLiteral("About Quenmoor Softworks"),
        QNMRKitHost::appName() + QStringLiteral(" is made by Quenmoor Softworks (QNMR).\n\n") +
            QStringLiteral("Website, updates and support: ") + QNMRKitHost::creditURL().toString(),
        {QStringLiteral("qnmr"), QStringLiteral("support"), QStringLiteral("contact"),
         QStringLiteral("website"), QStringLiteral("quenmoor softworks"),
         QStringLiteral("credits")}};
}

QString fold(const QString& text)
{
    // Decompose, drop the combining marks, then fold case: "É" → "e".
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const QChar::Category cat = c.category();
        if (cat == QChar::Mark_NonSpacing || cat == QChar::Mark_SpacingCombining ||
            cat == QChar::Mark_Enclosing)
            continue;
        out.append(c);
    }
    return out.toCaseFolded();
}

QList<QNMRHelpTopic> search(const QString& query)
{
    const QList<QNMRHelpTopic> topicList = allTopics();
    const QStringList words = queryWords(query);
    if (words.isEmpty())
        return topicList;

    QStringList folded;
    folded.reserve(words.size());
    for (const QString& w : words)
        folded.append(fold(w));

    QList<QNMRHelpTopic> titleHits;
    QList<QNMRHelpTopic> others;
    for (const QNMRHelpTopic& topic : topicList) {
        const QString text = fold(topic.title + QLatin1Char('\n') + topic.body + QLatin1Char('\n') +
                                  topic.keywords.join(QLatin1Char(' ')));
        const bool all = std::all_of(folded.cbegin(), folded.cend(),
                                     [&](const QString& w) { return text.contains(w); });
        if (!all)
            continue;
        const QString title = fold(topic.title);
        const bool inTitle = std::any_of(folded.cbegin(), folded.cend(),
                                         [&](const QString& w) { return title.contains(w); });
        (inTitle ? titleHits : others).append(topic);
    }
    return titleHits + others;
}

void show(const std::optional<QString>& topic)
{
    const Opener& hook = openerStorage();
    if (hook)
        hook(topic);
}

const Opener& opener() { return openerStorage(); }

void setOpener(Opener hook) { openerStorage() = std::move(hook); }

} // namespace QNMRHelp
