#pragma once
// What a scheduled job does.

#include "records/RecordEnum.h"

#include <QString>

struct TaskKindCases {
    enum Case : unsigned char { water, feed, nutrient, maintenance };

protected:
    // Indexed by case number.
    static constexpr EnumText::Entry texts[] = {
        {"water", u"Watering"},
        {"feed", u"Feeding"},
        {"nutrient", u"Nutrient / pH check"},
        {"maintenance", u"Maintenance"},
    };
};

class TaskKind : public RecordEnum<TaskKind, TaskKindCases> {
public:
    using RecordEnum::RecordEnum;
    // The icon name shown beside a task of this kind.
    QString symbol() const;
};
