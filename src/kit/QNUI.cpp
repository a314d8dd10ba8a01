#include "kit/QNUI.h"

#include "kit/QNMRKitHost.h"

QNUI& QNUI::shared()
{
    static QNUI* instance = new QNUI; // lives to the end of the process
    return *instance;
}

QNKitTheme QNUI::theme() const { return QNMRKitHost::theme()(); }
