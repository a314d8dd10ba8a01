#pragma once
// The spending categories of the supplies and costs ledger.

#include "records/RecordEnum.h"

struct LedgerCategoryCases {
    enum Case : unsigned char { seeds, media, fertilizer, pestControl, energy, water, equipment, repairs, containers, other };

protected:
    // Indexed by case number.
    static constexpr EnumText::Entry texts[] = {
        {"seeds", u"Seeds & plants"},
        {"media", u"Soil & growing media"},
        {"fertilizer", u"Fertilizer & nutrients"},
        {"pestControl", u"Pest & disease control"},
        {"energy", u"Heating & electricity"},
        {"water", u"Water"},
        {"equipment", u"Equipment & tools"},
        {"repairs", u"Repairs & maintenance"},
        {"containers", u"Pots, trays & supplies"},
        {"other", u"Other"},
    };
};

class LedgerCategory : public RecordEnum<LedgerCategory, LedgerCategoryCases> {
public:
    using RecordEnum::RecordEnum;
};
