#include "records/HarvestUnit.h"

std::optional<double> HarvestUnit::pounds() const
{
    switch (m_case) {
    case lb:
        return 1.0;
    case oz:
        return 0.0625;
    case kg:
        return 2.2046226218;
    case g:
        return 0.0022046226218;
    case count:
        break;
    }
    return std::nullopt;
}
