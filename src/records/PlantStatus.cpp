#include "records/PlantStatus.h"

bool PlantStatus::active() const
{
    switch (m_case) {
    case germinating:
    case seedling:
    case growing:
    case flowering:
    case fruiting:
    case harvesting:
        return true;
    case planned:
    case finished:
    case failed:
        break;
    }
    return false;
}
