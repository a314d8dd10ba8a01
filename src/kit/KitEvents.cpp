#include "kit/KitEvents.h"

KitEvents& KitEvents::shared()
{
    static KitEvents* const instance = new KitEvents;
    return *instance;
}
