#pragma once
// The two kinds of growing place inside a zone.

#include "records/RecordEnum.h"

struct SpotKindCases {
    enum Case : unsigned char { bed, bench };

protected:
    // Indexed by case number.
    static constexpr EnumText::Entry texts[] = {
        {"bed", u"Bed"},
        {"bench", u"Bench"},
    };
};

class SpotKind : public RecordEnum<SpotKind, SpotKindCases> {
public:
    using RecordEnum::RecordEnum;
};
