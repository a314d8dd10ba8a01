#pragma once
// One alert range of one metric: an optional low and an optional high value, in
// the metric's stored unit. An absent end means no limit on that side.

#include <optional>

struct MetricRange {
    std::optional<double> min;
    std::optional<double> max;

    MetricRange() = default;
    MetricRange(std::optional<double> min, std::optional<double> max) : min(min), max(max) {}

    friend bool operator==(const MetricRange&, const MetricRange&) = default;
};
