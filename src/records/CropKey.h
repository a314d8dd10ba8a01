#pragma once
// The key by which plants, harvests, ledger entries, reports and the crop library
// recognise the same crop: the name trimmed of white space and line breaks at both
// ends, then lower-cased. Crops are joined by equal keys, never by plant links.

#include <QString>
#include <QStringView>

QString cropKey(QStringView name);
