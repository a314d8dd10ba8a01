#pragma once
// The stages of a planting, from planned to finished or failed.

#include "records/RecordEnum.h"

struct PlantStatusCases {
    enum Case : unsigned char { planned, germinating, seedling, growing, flowering, fruiting, harvesting, finished, failed };

protected:
    // Indexed by case number.
    static constexpr EnumText::Entry texts[] = {
        {"planned", u"Planned"},
        {"germinating", u"Germinating"},
        {"seedling", u"Seedling"},
        {"growing", u"Growing"},
        {"flowering", u"Flowering"},
        {"fruiting", u"Fruiting"},
        {"harvesting", u"Harvesting"},
        {"finished", u"Finished"},
        {"failed", u"Failed"},
    };
};

class PlantStatus : public RecordEnum<PlantStatus, PlantStatusCases> {
public:
    using RecordEnum::RecordEnum;
    // True for the stages from germinating to harvesting: the plant is in the ground and growing.
    bool active() const;
};
