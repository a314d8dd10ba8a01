#pragma once
// What a maintenance job looks after. Tasks store it as plain text, so a
// category this list does not know survives a save unchanged.

#include "records/RecordEnum.h"

struct MaintenanceCategoryCases {
    enum Case : unsigned char { vents, heaters, fans, filters, cleaning, glazing, irrigation, structure, other };

protected:
    // Indexed by case number.
    static constexpr EnumText::Entry texts[] = {
        {"vents", u"Vents"},
        {"heaters", u"Heaters"},
        {"fans", u"Fans & cooling"},
        {"filters", u"Filters"},
        {"cleaning", u"Cleaning & sanitation"},
        {"glazing", u"Glazing (glass / plastic / panels)"},
        {"irrigation", u"Irrigation lines"},
        {"structure", u"Frame & doors"},
        {"other", u"Other"},
    };
};

class MaintenanceCategory : public RecordEnum<MaintenanceCategory, MaintenanceCategoryCases> {
public:
    using RecordEnum::RecordEnum;
};
