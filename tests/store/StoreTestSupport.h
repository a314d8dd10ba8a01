#pragma once
// Helpers for the store tests.

#include "store/OVError.h"

#include "TestSupport.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

namespace storetest {

// The OVError that `f` throws; a test failure when it throws none.
template <typename F>
OVError errorOf(F&& f)
{
    try {
        f();
    } catch (const OVError& e) {
        return e;
    }
    ADD_FAILURE() << "expected an OVError";
    return OVError::database(QStringLiteral("<nothing thrown>"));
}

inline QByteArray sha256(const QString& path)
{
    return QCryptographicHash::hash(testsupport::readAll(path), QCryptographicHash::Sha256);
}

} // namespace storetest
