#pragma once
// The kit's help registry: the application's topics, the kit's own two topics
// ("look" on themes and zoom, "about" on the maker) and a word search over them.
// Everything that opens help goes through one replaceable hook, opener().
//
// The kit topics are derived on every read, never stored: an application topic with
// the id "look" or "about" takes the kit topic's place, and a changed application
// name shows in the "about" body at once. Main thread only.

#include "kit/QNMRHelpTopic.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace QNMRHelp {

// The application's topics in display order; empty until QNMRKit::install sets them.
const QList<QNMRHelpTopic>& topics();
void setTopics(const QList<QNMRHelpTopic>& topics);

// topics(), then the kit's "look" topic unless an application topic has that id, then
// the "about" topic likewise.
QList<QNMRHelpTopic> allTopics();
QNMRHelpTopic lookTopic();
QNMRHelpTopic aboutTopic();

// The topics holding every word of the query (case and accents ignored, words found
// inside longer words), those whose title holds at least one word first, each group in
// allTopics() order. A query without words gives allTopics() unchanged.
QList<QNMRHelpTopic> search(const QString& query);

// Lower-cases and strips accents, so "Crème" and "creme" compare equal. No locale.
QString fold(const QString& text);

// Opens help on a topic (nullopt: no particular topic) through the current opener.
using Opener = std::function<void(const std::optional<QString>&)>;
void show(const std::optional<QString>& topic = std::nullopt);
const Opener& opener();
// An empty opener makes show() do nothing until a real one is set; the help window
// installs itself as the opener when the interface is built.
void setOpener(Opener opener);

} // namespace QNMRHelp
