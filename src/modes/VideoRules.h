#pragma once
// The rules every shipped grow video must meet (self-check checks 20 to 23), as a
// function of the list, so they can be proven on fixture rows as well as on the
// shipped data. Each finding names what was checked: with no videos shipped the
// rules hold vacuously, and the labels say so instead of passing on nothing silently.

#include "services/GrowVideo.h"

#include <QList>
#include <QString>

class VideoRules {
public:
    // Below this many videos, every one must come from a university program.
    static constexpr qsizetype universityVideosWanted = 25;

    struct Findings {
        qsizetype videos = 0;
        bool wellFormed = true; // watch link, title, channel, publish date, date checked
        bool noDuplicates = true;
        bool approved = true;   // every channel on the approved list
        qsizetype university = 0;
        bool enoughUniversity() const { return university >= std::min(universityVideosWanted, videos); }
    };

    static Findings check(const QList<GrowVideo>& videos);

    // The four check labels, in order, each ending in what was checked.
    static QStringList labels(const Findings& findings);
};
