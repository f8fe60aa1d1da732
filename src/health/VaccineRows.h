// The four vaccine rows the vaccination card and its record window share:
// the fields each row shows, and its name and tick, built alike in both.
#pragma once

#include <array>
#include <cstddef>
#include <functional>

class QLabel;
class QWidget;
namespace bound {
class DBCheckBox;
}
namespace engine {
class DataSource;
}

namespace health {

struct VaccineRow {
    const char* tickField;
    const char* dateField;
};

inline constexpr std::array<VaccineRow, 4> kVaccineRows { {
    { "MOQUILLO_TRIVALENTE", "FECHA_1" },
    { "PARVOVIROSI_LEUCEMIA", "FECHA_2" },
    { "POLIVALENTE_LEUCEMIA", "FECHA_3" },
    { "RABIA", "FECHA_4" },
} };

// What a window adds to a row once its name and tick exist: the date, and
// the row's place in the focus chain.
using AddVaccineDate = std::function<void(std::size_t row, int top, bound::DBCheckBox* tick)>;

// Builds the rows in order, each at its top: the name `Etiqueta_N`, the tick
// `DBCheckBoxN` at `tickLeft` bound to the row's tick field, then what
// `addDate` adds. They land in `names` and `ticks`.
void addVaccineRows(QWidget* window, engine::DataSource* source, const std::array<int, 4>& tops, int tickLeft,
    const std::array<QLabel**, 4>& names, const std::array<bound::DBCheckBox**, 4>& ticks,
    const AddVaccineDate& addDate);

} // namespace health
