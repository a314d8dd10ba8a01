#pragma once
// The unit a harvest is weighed or counted in.

#include "records/RecordEnum.h"

#include <optional>

struct HarvestUnitCases {
    enum Case : unsigned char { lb, oz, kg, g, count };

protected:
    // Indexed by case number.
    static constexpr EnumText::Entry texts[] = {
        {"lb", u"lb"},
        {"oz", u"oz"},
        {"kg", u"kg"},
        {"g", u"g"},
        {"count", u"count (each)"},
    };
};

class HarvestUnit : public RecordEnum<HarvestUnit, HarvestUnitCases> {
public:
    using RecordEnum::RecordEnum;
    // The weight of one unit in pounds; nullopt for a count.
    std::optional<double> pounds() const;
};
