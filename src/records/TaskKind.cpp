#include "records/TaskKind.h"

QString TaskKind::symbol() const
{
    switch (m_case) {
    case water:
        return QStringLiteral("drop.fill");
    case feed:
        return QStringLiteral("leaf.arrow.triangle.circlepath");
    case nutrient:
        return QStringLiteral("testtube.2");
    case maintenance:
        break;
    }
    return QStringLiteral("wrench.and.screwdriver.fill");
}
