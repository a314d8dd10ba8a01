#pragma once
// Hashing of the Hashable records: every field is fed, in declaration order, so
// that records equal by all fields always hash alike.

#include "records/OVDay.h"

#include <QHashFunctions>
#include <QString>
#include <cstddef>
#include <functional>
#include <optional>

namespace RecordHash {

inline std::size_t of(const QString& v) { return qHash(v); }
inline std::size_t of(const OVDay& v) { return qHash(v); }

template <typename T>
std::size_t of(const T& v)
{
    return std::hash<T>()(v);
}

template <typename T>
std::size_t of(const std::optional<T>& v)
{
    // An absent value must not collide with a present default-like one.
    return v ? of(*v) * 31 + 1 : 0;
}

template <typename... T>
std::size_t combine(const T&... fields)
{
    std::size_t seed = 0;
    ((seed ^= of(fields) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2)), ...);
    return seed;
}

} // namespace RecordHash
