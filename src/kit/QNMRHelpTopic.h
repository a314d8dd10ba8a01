#pragma once
// One help topic: a stable id (used by menus, links and the viewer's selection), the
// title shown in lists and as the heading, a body in the help markup ("## " starts a
// heading line, "• " a bullet, any other non-blank line is a paragraph) and extra
// search words that are never shown. Equal when all four fields are equal.

#include <QString>
#include <QStringList>

struct QNMRHelpTopic {
    QString id;
    QString title;
    QString body;
    QStringList keywords = {};

    friend bool operator==(const QNMRHelpTopic&, const QNMRHelpTopic&) = default;
};
