#pragma once
// The number reader of every editor's number boxes, the same reading as the climate
// CSV's cells: blanks trimmed; "%", "°f", "°c", "°", "ppm" and "lux" removed; a comma
// read as thousands or decimal separator by its position; empty, unreadable or
// infinite text gives nothing.

#include <QString>
#include <optional>

std::optional<double> parseNumber(const QString& text);
