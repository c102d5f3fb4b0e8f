// What a test window writes to the board: a value into one of the main window's parameter boxes, then the send.
#pragma once

#include <functional>

// The main window's parameter boxes a test window drives.
enum class ParameterBox { TINT, DAC_A, DAC_B, DAC_C, DAC_D, ImageGain, ImageOffset };

// A test window's one way to the board's registers: SetValue puts a value
// into a parameter box (the box clamps it to its range), Send writes the
// boxes to the board. The window that owns the writer sets both; an empty
// function does nothing.
struct ParameterWriter
{
    std::function<void(ParameterBox, int)> SetValue;
    std::function<void()> Send;

    void set(ParameterBox p_Box, int p_iValue) const
    {
        if (SetValue)
            SetValue(p_Box, p_iValue);
    }
    void send() const
    {
        if (Send)
            Send();
    }
};
