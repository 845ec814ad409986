#include "app/LengthField.h"

#include "app/MeasurementUnits.h"

namespace pq {

void CLengthField::Show(double documentUnits, int unit) {
    text = FormatLength(documentUnits, unit);
    shownText = text;
    shownLength = documentUnits;
}

std::optional<double> CLengthField::Read(int unit) const {
    if (text == shownText)
        return shownLength;
    const std::optional<double> typed = ParseTypedNumber(text);
    if (!typed)
        return std::nullopt;
    return *typed * UnitScale(unit);
}

} // namespace pq
