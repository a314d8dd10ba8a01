#pragma once
// What sort of trouble a pest record describes.

#include "records/RecordEnum.h"

struct ProblemKindCases {
    enum Case : unsigned char { pest, disease, disorder, other };

protected:
    // Indexed by case number.
    static constexpr EnumText::Entry texts[] = {
        {"pest", u"Pest"},
        {"disease", u"Disease"},
        {"disorder", u"Disorder (nutrient, heat, cold\u2026)"},
        {"other", u"Other"},
    };
};

class ProblemKind : public RecordEnum<ProblemKind, ProblemKindCases> {
public:
    using RecordEnum::RecordEnum;
};
