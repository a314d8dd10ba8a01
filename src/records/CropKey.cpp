#include "records/CropKey.h"

QString cropKey(QStringView name)
{
    return name.trimmed().toString().toLower();
}
