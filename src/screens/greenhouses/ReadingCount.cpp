#include "screens/greenhouses/ReadingCount.h"

#include "store/OVStore.h"

namespace ReadingCount {

qint64 ofZone(OVStore& store, qint64 zoneID)
{
    return store.db().scalarInt(QStringLiteral("SELECT COUNT(*) FROM reading WHERE zone_id = ?"),
                                {SQLValue(zoneID)});
}

qint64 ofGreenhouse(OVStore& store, qint64 greenhouseID)
{
    return store.db().scalarInt(
        QStringLiteral("SELECT COUNT(*) FROM reading WHERE zone_id IN (SELECT id FROM zone WHERE greenhouse_id = ?)"),
        {SQLValue(greenhouseID)});
}

} // namespace ReadingCount
