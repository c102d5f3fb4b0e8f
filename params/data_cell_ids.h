// Cell numbers of the geometry, register, windowing and frame-rate cells.
#pragma once

namespace ProxyParameterId {
enum DataCell : int {
    BlindColumns = 8,
};
}
