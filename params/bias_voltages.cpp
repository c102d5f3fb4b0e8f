// The DAC-code-to-voltage rows of the sensor bias inputs, per proxy model.
#include "params/bias_voltages.h"

#include <cstddef>


namespace {

struct VoltageRow
{
    const char* models[10]; // unused places stay null
    double minimum;
    double span;
};

const VoltageRow kAdd02[] = {
    {{"Z602", "Z603"}, 0.8, 2.4},   {{"Z615", "Z641"}, 1.5, 1.5},  {{"Z646"}, 0.5, 3.1},
    {{"Z647"}, 0.7, 2.65},          {{"Z654"}, 2.05, 1.65},        {{"Z663", "Z668", "Z668P"}, 0.9, 2.3},
    {{"Z671", "Z671P"}, 1.6, 1.77}, {{"Z671Pv2"}, 1.58, 1.95},     {{"Z1641", "Y420"}, 0.9, 4.1},
    {{"Y1436"}, 2.3, 3.4},          {{"Y1437", "Y1437P"}, 2.1, 1.75}};
const VoltageRow kAdd03[] = {
    {{"Z602", "Z603"}, 1.0, 2.5},  {{"Z615", "Z641"}, 1.3, 1.5},  {{"Z646"}, 1.0, 1.5},
    {{"Z647"}, 1.0, 2.6},          {{"Z654"}, 4.1, 1.6},          {{"Z663", "Z668"}, 1.9, 2.55},
    {{"Z668P"}, 1.9, 2.5},         {{"Z671", "Z671P"}, 1.1, 1.9}, {{"Z671Pv2"}, 1.0, 2.15},
    {{"Z1641", "Y420"}, 0.0, 4.1}, {{"Y1436"}, 0.6, 3.1},         {{"Y1437", "Y1437P"}, 0.55, 3.2}};
const VoltageRow kAdd0C[] = {
    {{"Z602", "Z603", "Z615", "Z641", "Z646", "Z647", "Z654", "Z663", "Z668", "Z668P"}, 4.1, 1.8},
    {{"Z671", "Z671P"}, 2.4, 1.6},
    {{"Z671Pv2"}, 2.45, 1.15},
    {{"Z1641", "Y420", "Y1436", "Y1437"}, 2.0, 0.59},
    {{"Y1437P"}, 2.0, 0.55}};
const VoltageRow kAdd0D[] = {
    {{"Z602", "Z603", "Z615", "Z641", "Z646", "Z647", "Z654", "Z663", "Z668", "Z668P"}, 1.7, 1.3},
    {{"Z671", "Z671P"}, 2.04, 0.43},
    {{"Z671Pv2"}, 2.07, 0.48},
    {{"Z1641", "Y420", "Y1436", "Y1437"}, 0.33, 2.27},
    {{"Y1437P"}, 0.4, 2.2}};

template <size_t N>
const VoltageRow* FindRow(const VoltageRow (&p_Rows)[N], std::string_view p_sModel)
{
    for (const VoltageRow& row : p_Rows)
        for (const char* szModel : row.models)
            if (szModel != nullptr && p_sModel == szModel)
                return &row;
    return nullptr;
}

const VoltageRow* RowFor(BiasInput p_Input, std::string_view p_sModel)
{
    switch (p_Input) {
    case BiasInput::ADD02:
        return FindRow(kAdd02, p_sModel);
    case BiasInput::ADD03:
        return FindRow(kAdd03, p_sModel);
    case BiasInput::ADD0C:
        return FindRow(kAdd0C, p_sModel);
    case BiasInput::ADD0D:
        break;
    }
    return FindRow(kAdd0D, p_sModel);
}

} // namespace

float BiasVoltage(BiasInput p_Input, std::string_view p_sModel, int p_iCode)
{
    const VoltageRow* pRow = RowFor(p_Input, p_sModel);
    if (pRow == nullptr)
        return 0.0f;
    // Single-precision ratio, double product and sum, single result.
    const float fRatio = static_cast<float>(p_iCode) / 4095.0f;
    return static_cast<float>(static_cast<double>(fRatio) * pRow->span + pRow->minimum);
}
