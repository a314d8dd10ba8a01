#include "modes/SelfTestPrefs.h"

#include "records/OVPrefs.h"

std::function<std::optional<QByteArray>(const QString&)> SelfTestPrefs::readFile = SavedSettings::readWholeFile;

QStringList SelfTestPrefs::keys()
{
    return {QStringLiteral("qnmr.theme"), OVPrefs::unitKey, QStringLiteral("qnmr.zoom"),
            OVPrefs::remindersKey, OVPrefs::alertsKey};
}

void SelfTestPrefs::saveAndPrepare()
{
    m_saved.save(keys(), readFile);
    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("F"));
    OVPrefs::setValue(OVPrefs::remindersKey, true);
    OVPrefs::setValue(OVPrefs::alertsKey, true);
}

void SelfTestPrefs::restore() { m_saved.restore(); }
